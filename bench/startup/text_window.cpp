#include <QApplication>
#include <QLabel>
#include <QWidget>

// The empty window plus one line of text in the house font: the floor of any window
// that shows words, since the first text loads the font database.
int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(565, 302);
    QFont font(QStringLiteral("Verdana"));
    font.setPointSize(8);
    window.setFont(font);
    QLabel label(QStringLiteral("Step 1"), &window);
    window.show();
    return app.exec();
}
