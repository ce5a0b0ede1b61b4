// A window on its own simulated platform, for tests that drive frmMain through its
// controls, with the session on the test's thread and its ticks driven by the test.
#pragma once

#include "board_bytes.h"
#include "frm_main.h"
#include "session_worker.h"
#include "simulated_hid.h"
#include "window_controls.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QScrollArea>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>
#include <vector>

// In the order of SettingsFields: the factory settings as the window shows them, the
// boxes' texts before any load.
inline const QStringList FactoryTexts = {"5000", "-100", "200", "50", "20", "75", "90", "10", "5", "4", "1000", "64"};
inline const QStringList Placeholders = {"Stops", "Centre", "Stiffness", "Damping", "Damping", "Damping",
                                         "Scale", "Inertia", "Friction",  "",        "",        "Spring"};

// Every dialog answered by the test: the files to give, the answer to questions, and
// what was asked and warned.
struct ScriptedDialogs {
    QString OpenFile, SaveFile;
    bool Answer = true;
    int Choice = 0;  // the index of the answer chosen
    QStringList Questions, Warnings;

    WindowDialogs Make()
    {
        return {[this](QWidget*, const QString&) { return OpenFile; },
                [this](QWidget*, const QString&) { return SaveFile; },
                [this](QWidget*, const QString& question) {
                    Questions << question;
                    return Answer;
                },
                [this](QWidget*, const QString& question, const QStringList&) {
                    Questions << question;
                    return Choice;
                },
                [this](QWidget*, const QString& message) { Warnings << message; }};
    }
};

struct WindowOnBoard {
    explicit WindowOnBoard(std::uint16_t versionNumber = 0x0307, bool withBoard = true,
                           kx::BoardFeatureLengths lengths = {}, kx::SessionTimings timings = kx::DefaultTimings)
    {
        // Recent files and the like go to a scratch place, not the user's settings.
        QStandardPaths::setTestModeEnabled(true);
        Platform.AddOtherInterface(0x046D, 0xC31C);
        if (withBoard)
            Board = &Platform.AddBoard(0x5E11, versionNumber, lengths);
        Window = std::make_unique<frmMain>(std::make_unique<kx::SessionWorker>(Platform, timings));
        Window->SetDialogs(Dialogs.Make());
        // A desktop screen, larger than the window; the offscreen one is not.
        Window->SetAvailableScreenArea([] { return QRect(0, 0, 1920, 1050); });
        Controls = std::make_unique<WindowControls>(*Window);
    }

    frmMain& W() { return *Window; }
    WindowControls& V() { return *Controls; }
    frmMain& Load()
    {
        Window->Form_Load();
        return *Window;
    }
    // One tick of the supervision, with a report from the wheel first when given.
    void Tick(std::optional<std::int16_t> position = std::nullopt)
    {
        if (position)
            Board->SendPosition(*position);
        Window->Session().Tick();
    }
    void Drain() { Window->Session().DrainInput(); }
    void Unplug() { Platform.Unplug(*Board); }
    void PlugIn() { Platform.PlugIn(*Board); }
    bool BoardOpen() const { return Board && Board->OpenHandles() == 2; }
    QString Status() const { return Controls->lblStatus->text(); }

    std::vector<Bytes> SetRequests() const { return ::SetRequests(*Board->Board); }

    QStringList Texts()
    {
        QStringList texts;
        for (QLineEdit* box : Controls->Boxes)
            texts << box->text();
        return texts;
    }

    kx::SimulatedHidPlatform Platform;
    kx::SimulatedDevice* Board = nullptr;
    ScriptedDialogs Dialogs;
    std::unique_ptr<frmMain> Window;
    std::unique_ptr<WindowControls> Controls;
};

// A settings file for a test to open, in a scratch folder of its own.
inline QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& text)
{
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        qFatal("cannot write %s", qPrintable(file.fileName()));
    return file.fileName();
}

// Sets the default locale for one test and puts C back afterwards, also on failure.
struct LocaleForTest {
    explicit LocaleForTest(const QLocale& locale) { QLocale::setDefault(locale); }
    ~LocaleForTest() { QLocale::setDefault(QLocale::c()); }
};
