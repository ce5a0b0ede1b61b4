// A window on its own simulated platform, for tests that drive frmMain directly, with the
// widgets they look at.
#pragma once

#include "board_bytes.h"
#include "frm_main.h"
#include "settings_transfer.h"
#include "simulated_hid.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QStringList>
#include <QTimer>
#include <QtTest>

#include <memory>
#include <vector>

// In the order of SettingsFields: the factory settings as the window shows them, the
// boxes' texts before any load.
inline const QStringList FactoryTexts = {"5000", "-100", "200", "50", "20", "75", "90", "10", "5", "4", "1000", "64"};
inline const QStringList Placeholders = {"Stops", "Centre", "Stiffness", "Damping", "Damping", "Damping",
                                         "Scale", "Inertia", "Friction",  "",        "",        "Spring"};

struct WindowOnBoard {
    explicit WindowOnBoard(std::uint16_t versionNumber = 0x0307, bool withBoard = true,
                           kx::BoardFeatureLengths lengths = {})
    {
        Platform.AddOtherInterface(0x046D, 0xC31C);
        if (withBoard)
            Board = &Platform.AddBoard(0x5E11, versionNumber, lengths);
        Window = std::make_unique<frmMain>(Platform);
        // A desktop screen, taller than the window; the offscreen one is not.
        Window->AvailableScreenArea = [] { return QRect(0, 0, 1920, 1050); };
    }

    frmMain& W() { return *Window; }
    frmMain& Load()
    {
        Window->Form_Load();
        return *Window;
    }
    void Tick(std::int16_t position)
    {
        Board->SendPosition(position);
        Window->Timer_Timer();
    }
    void Unplug() { Platform.Unplug(*Board); }
    void PlugIn() { Platform.PlugIn(*Board); }

    std::vector<Bytes> SetRequests() const { return ::SetRequests(*Board->Board); }

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
