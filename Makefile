# Shortcuts for developers; the README's two scripts are what users run.
.PHONY: all run test bench format clean
all:
	cmake -S . -B build >/dev/null && cmake --build build --parallel
run:
	./run.sh
test:
	./test.sh
bench: all
	scripts/bench.sh
format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i
clean:
	rm -rf build build-san
