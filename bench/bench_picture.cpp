// kx5170-bench-picture: what the wheel picture costs while the wheel moves.
//
//   kx5170-bench-picture [--still | --labels | --picture] [--preview] [--dark]
//                        [--no-board] [--type N] [--stops N] [--centre N]
//                        [--position N] [--png FILE]
//
// A window of the configuration window's widgets with the wheel sweeping as in the
// demo (half a turn either way every eight seconds), shown at the window's 100 ms tick:
//   --still    nothing is shown: the floor of a window this size;
//   --labels   the Position and Degrees labels follow the wheel, as the window does;
//   --picture  the labels and the wheel picture beside them (the default).
// Every mode has the same window size, the picture's place left empty without it.
// --preview draws a fixed ten seconds of a wheel settling, for screenshots; --dark sets
// a dark palette; --no-board shows the picture with no board; --type is the board's
// type (1: 8192 counts a turn; 0: unknown). --position N ends the preview with the
// wheel at N counts. --png FILE draws the preview's picture alone into FILE in Liberation
// Sans (the fonts every screenshot in docs/ uses) and exits.
#include "display_text.h"
#include "input_report.h"
#include "wheel_picture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPalette>
#include <QPushButton>
#include <QStyleFactory>
#include <QTimer>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <numbers>
#include <optional>

namespace {

constexpr int ClientWidth = 338, ClientHeight = 699, PictureWidth = 300;

QPalette DarkPalette()
{
    QPalette p;
    p.setColor(QPalette::Window, QColor(45, 45, 48));
    p.setColor(QPalette::WindowText, QColor(230, 230, 230));
    p.setColor(QPalette::Base, QColor(30, 30, 32));
    p.setColor(QPalette::AlternateBase, QColor(45, 45, 48));
    p.setColor(QPalette::Text, QColor(230, 230, 230));
    p.setColor(QPalette::Button, QColor(55, 55, 58));
    p.setColor(QPalette::ButtonText, QColor(230, 230, 230));
    p.setColor(QPalette::Highlight, QColor(61, 142, 230));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(128, 128, 128));
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(128, 128, 128));
    return p;
}

}  // namespace

int main(int argc, char* argv[])
{
    enum class Mode { Still, Labels, Picture } mode = Mode::Picture;
    bool preview = false, dark = false, board = true;
    int type = 1, stops = 6144, centre = 200;
    std::optional<int> last;
    const char* png = nullptr;
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        auto number = [&] { return i + 1 < argc ? std::atoi(argv[++i]) : 0; };
        if (!std::strcmp(a, "--still"))
            mode = Mode::Still;
        else if (!std::strcmp(a, "--labels"))
            mode = Mode::Labels;
        else if (!std::strcmp(a, "--picture"))
            mode = Mode::Picture;
        else if (!std::strcmp(a, "--preview"))
            preview = true;
        else if (!std::strcmp(a, "--dark"))
            dark = true;
        else if (!std::strcmp(a, "--no-board"))
            board = false;
        else if (!std::strcmp(a, "--type"))
            type = number();
        else if (!std::strcmp(a, "--stops"))
            stops = number();
        else if (!std::strcmp(a, "--centre"))
            centre = number();
        else if (!std::strcmp(a, "--position"))
            last = number();
        else if (!std::strcmp(a, "--png") && i + 1 < argc)
            png = argv[++i], preview = true;
    }

    QApplication app(argc, argv);
    if (dark) {
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        QApplication::setPalette(DarkPalette());
    }
    QWidget window;
    window.setWindowTitle(QStringLiteral("Wheel picture"));
    window.setFont(QFont(png ? QStringLiteral("Liberation Sans") : QStringLiteral("Arial"), 10));
    window.setFixedSize(ClientWidth + PictureWidth, ClientHeight);

    // The configuration window's widgets, as in floor.cpp.
    auto* group = new QGroupBox(QStringLiteral("Device details"), &window);
    group->setGeometry(4, 4, 329, 117);
    for (int i = 0; i < 8; ++i) {
        auto* label = new QLabel(i % 2 ? QStringLiteral("value") : QStringLiteral("Caption"), group);
        label->setGeometry(i % 2 ? 110 : 12, 20 + 24 * (i / 2), 200, 20);
    }
    QFont bold = window.font();
    bold.setBold(true);
    auto* position = new QLabel(&window);
    position->setGeometry(144, 136, 69, 17);
    position->setFont(bold);
    auto* degrees = new QLabel(&window);
    degrees->setGeometry(144, 168, 69, 17);
    degrees->setFont(bold);
    for (int i = 0; i < 22; ++i) {
        auto* label = new QLabel(QStringLiteral("Label %1").arg(i), &window);
        label->setGeometry(i % 2 ? 216 : 8, 136 + 22 * (i / 2), 100, 18);
    }
    for (int i = 0; i < 12; ++i) {
        auto* edit = new QLineEdit(QString::number(i * 10), &window);
        edit->setGeometry(144, 200 + 32 * i, 69, 24);
    }
    for (int i = 0; i < 3; ++i) {
        auto* line = new QFrame(&window);
        line->setFrameShape(QFrame::HLine);
        line->setGeometry(8, 228 + 160 * i, 320, 1);
    }
    auto* button = new QPushButton(QStringLiteral("Write and reset"), &window);
    button->setGeometry(104, 648, 117, 33);

    const std::optional<int> perTurn = kx::CountsPerTurn(type);
    kx::WheelPicture* picture = nullptr;
    if (mode == Mode::Picture) {
        picture = new kx::WheelPicture(&window);
        picture->setGeometry(ClientWidth, 0, PictureWidth, ClientHeight);
        picture->SetCountsPerTurn(perTurn);
        picture->SetBoardPresent(board);
        picture->SetStops(stops);
        picture->SetCentre(centre);
    }
    auto show = [&](std::int16_t counts, std::chrono::steady_clock::time_point when) {
        const QString countsText = kx::Caption(QString::number(counts));
        if (position->text() != countsText)
            position->setText(countsText);
        if (perTurn) {
            const QString degreesText =
                kx::Caption(kx::DegreesText(kx::PositionDegrees(counts, *perTurn), QLocale()));
            if (degrees->text() != degreesText)
                degrees->setText(degreesText);
        }
        if (picture)
            picture->SetPosition(counts, when);
    };

    QElapsedTimer clock;
    clock.start();
    QTimer tick;
    if (preview && board) {
        // A wheel let go at 300 degrees, ringing down towards the centre over ten seconds.
        const auto end = std::chrono::steady_clock::now();
        for (int i = 0; i <= 100; ++i) {
            const double s = i / 10.0;
            const double counts = 6800.0 * std::exp(-s / 3.0) * std::cos(2 * std::numbers::pi * s / 1.7);
            show(static_cast<std::int16_t>(std::lround(counts)), end - std::chrono::milliseconds(10000 - 100 * i));
        }
        if (last)
            show(static_cast<std::int16_t>(*last), end + std::chrono::milliseconds(100));
    } else if (board && mode != Mode::Still) {
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const double phase = 2.0 * std::numbers::pi * static_cast<double>(clock.elapsed()) / 8000.0;
            show(static_cast<std::int16_t>(std::lround(4096.0 * std::sin(phase))), std::chrono::steady_clock::now());
        });
    }
    tick.start(100);

    if (png && picture) {
        window.show();
        return picture->grab().save(QString::fromLocal8Bit(png)) ? 0 : 1;
    }
    window.show();
    return app.exec();
}
