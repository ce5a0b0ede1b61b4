// A window on its own simulated platform, for tests that drive frmMain directly.
#pragma once

#include "frm_main.h"
#include "settings_transfer.h"
#include "simulated_hid.h"

#include <QLineEdit>
#include <QLocale>
#include <QStringList>

#include <memory>
#include <vector>

// In the order of SettingsFields: the factory settings as the window shows them, the
// boxes' texts before any load, and the ranges the window lets through to the board.
inline const QStringList FactoryTexts = {"5000", "-100", "200", "50", "20", "75", "90", "10", "5", "4", "1000", "64"};
inline const QStringList Placeholders = {"Stops", "Centre", "Stiffness", "Damping", "Damping", "Damping",
                                         "Scale", "Inertia", "Friction",  "",        "",        "Spring"};
struct Range {
    int Lowest, Highest;
};
inline constexpr Range Allowed[12] = {{0, 65535}, {-32768, 32767}, {0, 255}, {0, 255}, {0, 250}, {1, 100},
                                      {1, 100},   {0, 250},        {0, 250}, {1, 255}, {1, 10000}, {0, 127}};

struct WindowOnBoard {
    explicit WindowOnBoard(std::uint16_t versionNumber = 0x0307, bool withBoard = true,
                           kx::BoardFeatureLengths lengths = {})
    {
        Platform.AddOtherInterface(0x046D, 0xC31C);
        if (withBoard)
            Board = &Platform.AddBoard(0x5E11, versionNumber, lengths);
        Window = std::make_unique<frmMain>(Platform);
    }

    frmMain& W() { return *Window; }
    frmMain& Load()
    {
        Window->Form_Load();
        return *Window;
    }
    // The wheel moves to `position` and the Timer ticks.
    void Tick(std::int16_t position)
    {
        Board->SendPosition(position);
        Window->Timer_Timer();
    }
    void Unplug() { Platform.Unplug(*Board); }
    void PlugIn() { Platform.PlugIn(*Board); }

    // Every set request the board received.
    std::vector<std::vector<std::uint8_t>> SetRequests() const
    {
        std::vector<std::vector<std::uint8_t>> sets;
        for (const auto& request : Board->Board->Log)
            if (request.Kind == kx::BoardModel::FeatureRequest::Kind::Set)
                sets.push_back(request.Bytes);
        return sets;
    }

    // The first field sent outside the window's range for it, as "name=value"; empty
    // when every settings image the board received is in range.
    QString OutOfRangeSent() const
    {
        for (const auto& sent : SetRequests()) {
            if (sent.size() < kx::MinimumWriteImage)
                continue;
            const auto values = kx::DecodeSettingsReport(std::span(sent).subspan(1));
            for (std::size_t i = 0; values && i < kx::SettingsFields.size(); ++i) {
                const int v = (*values).*kx::SettingsFields[i].Value;
                if (v < Allowed[i].Lowest || v > Allowed[i].Highest)
                    return QStringLiteral("%1=%2").arg(kx::SettingsFields[i].Name).arg(v);
            }
        }
        return {};
    }

    // In the order of SettingsFields.
    std::vector<QLineEdit*> Boxes()
    {
        frmMain& w = *Window;
        return {w.Slimit, w.Homing,   w.Stiff,     w.Damp,        w.TDamp,       w.DampingScale,
                w.OverallScale, w.TInertia, w.TFriction, w.MotorFilter, w.InputFilter, w.Spring};
    }
    QStringList Texts()
    {
        QStringList texts;
        for (QLineEdit* box : Boxes())
            texts << box->text();
        return texts;
    }

    kx::SimulatedHidPlatform Platform;
    kx::SimulatedDevice* Board = nullptr;
    std::unique_ptr<frmMain> Window;
};

// Sets the default locale for one test and puts C back afterwards, also on failure.
struct LocaleForTest {
    explicit LocaleForTest(const QLocale& locale) { QLocale::setDefault(locale); }
    ~LocaleForTest() { QLocale::setDefault(QLocale::c()); }
};
