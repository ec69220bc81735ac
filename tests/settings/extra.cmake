# The kill-during-save test runs a program that saves without end.
add_executable(settings_saver settings/settings_saver.cpp)
target_link_libraries(settings_saver PRIVATE gridvane_core gridvane_fakes)
add_dependencies(settings_test_save_killed settings_saver)
target_compile_definitions(settings_test_save_killed PRIVATE
  SAVER_PATH="$<TARGET_FILE:settings_saver>")
