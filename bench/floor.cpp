// kx5170-bench-floor: what any Qt Widgets program of the configuration window's size
// costs. Fifty widgets, a 100 ms timer, nothing else; with --enumerate the timer also
// lists every HID interface, as a search that polls would.
#include <hidapi/hidapi.h>

#include <QApplication>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <cstring>

int main(int argc, char* argv[])
{
    bool enumerate = false;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--enumerate") == 0)
            enumerate = true;

    QApplication app(argc, argv);
    QWidget window;  // 1
    window.setWindowTitle(QStringLiteral("Floor"));
    window.setFixedSize(338, 699);

    auto* group = new QGroupBox(QStringLiteral("Details"), &window);  // 2
    group->setGeometry(4, 4, 329, 117);
    for (int i = 0; i < 8; ++i) {  // 10
        auto* label = new QLabel(i % 2 ? QStringLiteral("value") : QStringLiteral("Caption"), group);
        label->setGeometry(i % 2 ? 110 : 12, 20 + 24 * (i / 2), 200, 20);
    }
    for (int i = 0; i < 24; ++i) {  // 34
        auto* label = new QLabel(QStringLiteral("Label %1").arg(i), &window);
        label->setGeometry(i % 2 ? 216 : 8, 136 + 22 * (i / 2), 100, 18);
    }
    for (int i = 0; i < 12; ++i) {  // 46
        auto* edit = new QLineEdit(QString::number(i * 10), &window);
        edit->setGeometry(144, 136 + 32 * i, 69, 24);
    }
    for (int i = 0; i < 3; ++i) {  // 49
        auto* line = new QFrame(&window);
        line->setFrameShape(QFrame::HLine);
        line->setGeometry(8, 228 + 160 * i, 320, 1);
    }
    auto* button = new QPushButton(QStringLiteral("Apply"), &window);  // 50
    button->setGeometry(104, 648, 117, 33);

    if (enumerate)
        hid_init();
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [enumerate] {
        if (enumerate)
            hid_free_enumeration(hid_enumerate(0, 0));
    });
    timer.start(100);

    window.show();
    const int status = app.exec();
    if (enumerate)
        hid_exit();
    return status;
}
