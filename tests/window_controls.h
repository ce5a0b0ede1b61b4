// The window's controls, found by their object names as a user's tools find them.
#pragma once

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>

#include <vector>

struct WindowControls {
    explicit WindowControls(QWidget& w)
    {
        auto label = [&](const char* name) { return w.findChild<QLabel*>(QLatin1String(name)); };
        auto box = [&](const char* name) { return w.findChild<QLineEdit*>(QLatin1String(name)); };
        auto action = [&](const char* name) { return w.findChild<QAction*>(QLatin1String(name)); };
        lblStatus = label("lblStatus");
        lblManuf = label("lblManuf");
        lblProduct = label("lblProduct");
        lblVersion = label("lblVersion");
        lblSerialNumber = label("lblSerialNumber");
        Position = label("Position");
        Degrees = label("Degrees");
        Frame1 = w.findChild<QGroupBox*>(QStringLiteral("Frame1"));
        Go = w.findChild<QPushButton*>(QStringLiteral("Go"));
        Client = w.findChild<QWidget*>(QStringLiteral("Client"));
        ClientScroll = w.findChild<QScrollArea*>(QStringLiteral("ClientScroll"));
        for (const char* name : {"Slimit", "Homing", "Stiff", "Damp", "TDamp", "DampingScale", "OverallScale",
                                 "TInertia", "TFriction", "MotorFilter", "InputFilter", "Spring"})
            Boxes.push_back(box(name));
        Slimit = Boxes[0], Homing = Boxes[1], Stiff = Boxes[2], Damp = Boxes[3], TDamp = Boxes[4];
        DampingScale = Boxes[5], OverallScale = Boxes[6], TInertia = Boxes[7], TFriction = Boxes[8];
        MotorFilter = Boxes[9], InputFilter = Boxes[10], Spring = Boxes[11];
        actOpen = action("actOpen");
        actSave = action("actSave");
        actReload = action("actReload");
        actWriteKeepOpen = action("actWriteKeepOpen");
    }

    QLabel *lblStatus, *lblManuf, *lblProduct, *lblVersion, *lblSerialNumber, *Position, *Degrees;
    QGroupBox* Frame1;
    QPushButton* Go;
    QWidget* Client;
    QScrollArea* ClientScroll;
    std::vector<QLineEdit*> Boxes;  // in the order of SettingsFields
    QLineEdit *Slimit, *Homing, *Stiff, *Damp, *TDamp, *DampingScale, *OverallScale, *TInertia, *TFriction,
        *MotorFilter, *InputFilter, *Spring;
    QAction *actOpen, *actSave, *actReload, *actWriteKeepOpen;
};

