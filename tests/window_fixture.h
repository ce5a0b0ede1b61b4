// A window on its own simulated platform, for tests that drive frmMain directly.
#pragma once

#include "frm_main.h"
#include "simulated_hid.h"

#include <QLineEdit>

#include <memory>
#include <vector>

struct WindowOnBoard {
    explicit WindowOnBoard(std::uint16_t versionNumber = 0x0307, bool withBoard = true)
    {
        Platform.AddOtherInterface(0x046D, 0xC31C);
        if (withBoard)
            Board = &Platform.AddBoard(0x5E11, versionNumber);
        Window = std::make_unique<frmMain>(Platform);
    }

    frmMain& W() { return *Window; }

    // Every set request the board received.
    std::vector<std::vector<std::uint8_t>> SetRequests() const
    {
        std::vector<std::vector<std::uint8_t>> sets;
        for (const auto& request : Board->Board->Log)
            if (request.Kind == kx::BoardModel::FeatureRequest::Kind::Set)
                sets.push_back(request.Bytes);
        return sets;
    }

    std::vector<QLineEdit*> Boxes()
    {
        frmMain& w = *Window;
        return {w.Slimit, w.Homing,   w.Stiff,     w.Damp,        w.TDamp,       w.DampingScale,
                w.OverallScale, w.TInertia, w.TFriction, w.MotorFilter, w.InputFilter, w.Spring};
    }

    kx::SimulatedHidPlatform Platform;
    kx::SimulatedDevice* Board = nullptr;
    std::unique_ptr<frmMain> Window;
};
