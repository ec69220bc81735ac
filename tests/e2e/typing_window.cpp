// A window of another program that the desktop test types into, titled "Typing".
#include <QApplication>
#include <QLineEdit>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QLineEdit edit;
    edit.setWindowTitle("Typing");
    edit.show();
    return app.exec();
}
