// The floor of the start-up benchmark: the least a Qt Widgets program does to
// put one dialog on screen. It shows a dialog titled like the program's
// connection dialog, with a label and two buttons, and runs its event loop.
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Connection Method"));
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(QStringLiteral("KYR7 Serial Number or IP Address"), &dialog));
    layout->addWidget(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog));
    dialog.show();
    return app.exec();
}
