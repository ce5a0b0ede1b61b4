// The dialog behind "Fix...": says what will change, installs the board's udev rule
// through pkexec and the rule installer on confirmation, and shows the commands to run
// by hand when that cannot be done (no pkexec, cancelled, the installer failed).
//
// It never blocks: the installer runs as a child process and the dialog answers when
// it ends.
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

class QLabel;
class QPlainTextEdit;
class QProcess;
class QPushButton;

// How the rule installer is run: pkexec and the installer's absolute path. An empty
// Program means it cannot be run here; Missing then says why.
struct RuleInstallCommand {
    QString Program;
    QStringList Arguments;
    QString Missing;
};

// /usr/bin/pkexec (never one from PATH) and the installer where this program's package
// puts it, or the one built beside it in a build tree.
RuleInstallCommand DefaultRuleInstallCommand();

class AccessFixDialog : public QDialog {
    Q_OBJECT

public:
    explicit AccessFixDialog(RuleInstallCommand command, QWidget* parent = nullptr);
    ~AccessFixDialog() override;

    // "Install rule": starts the installer and returns at once.
    void Install_Click();
    // The installer ended with `exitCode` (-1: it crashed) and said `errorOutput`.
    // Installed: RuleInstalled() and the dialog closes. Installed but not applied:
    // RuleInstalled() and the dialog says to re-plug the board. A mask, the
    // administrator's own file or the packaged rule found in the way: the dialog says
    // what is there and who can change it. Anything else: ShowManualSteps.
    void InstallFinished(int exitCode, const QString& errorOutput);
    // Shows why the rule was not installed and the commands that install it by hand.
    void ShowManualSteps(const QString& why);
    // Says how the install ended where there is nothing to run by hand: only Close.
    void ShowOutcome(const QString& what);
    // Puts the commands on the clipboard.
    void CopyCommands_Click();

    bool Running() const { return Process != nullptr; }

    QLabel* lblExplain;
    QLabel* lblProgress;
    QLabel* lblManual;
    QPlainTextEdit* Commands;
    QPushButton* CopyCommands;
    QPushButton* Install;
    QPushButton* Cancel;

signals:
    // The installer reported success: the next search may open the board.
    void RuleInstalled();

public slots:
    void reject() override;

private:
    RuleInstallCommand Command;
    QProcess* Process = nullptr;
};
