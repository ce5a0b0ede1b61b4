#include "access_fix_dialog.h"

#include "udev_helper_status.h"

#include "access_help.h"
#include "plain_text.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// pkexec's own exit statuses: the request was dismissed, or not authorised (also
// when no agent could ask for the password).
constexpr int PkexecDismissed = 126;
constexpr int PkexecNotAuthorised = 127;


// Only ever the one in the system's own folder: a pkexec found on the user's PATH
// could be anything, and it would be handed the password.
constexpr const char* PkexecPath = "/usr/bin/pkexec";

QString FromView(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

RuleInstallCommand DefaultRuleInstallCommand()
{
    RuleInstallCommand command;
    // Run from its build tree, the program uses the installer built there; installed, the
    // one at its fixed place beside the program, never one in some build tree.
    const QString programDir = QCoreApplication::applicationDirPath();
    const QString helper =
        programDir.startsWith(QStringLiteral(KX_BUILD_DIR "/"))
            ? QStringLiteral(KX_RULE_HELPER_BUILD_PATH)
            : QDir::cleanPath(programDir + QStringLiteral("/" KX_RULE_HELPER_FROM_BINDIR));
    const bool found = !helper.isEmpty() && QFileInfo(helper).isExecutable();
    const QString pkexec = QString::fromLatin1(PkexecPath);
    if (!found)
        command.Missing = QCoreApplication::translate("AccessFixDialog", "The rule installer was not found beside the program.");
    else if (!QFileInfo(pkexec).isExecutable())
        command.Missing = QCoreApplication::translate("AccessFixDialog", "pkexec, which asks for the password, is not installed.");
    else
        command = {pkexec, {helper}, {}};
    return command;
}

AccessFixDialog::AccessFixDialog(RuleInstallCommand command, QWidget* parent)
    : QDialog(parent), Command(std::move(command))
{
    setObjectName(QStringLiteral("AccessFixDialog"));
    setWindowTitle(tr("Allow access to the board"));

    lblExplain = new QLabel(
        tr("This installs a rule that lets the person at this computer use the KX5170 board. "
                       "Nothing else on the computer changes."),
        this);
    lblExplain->setWordWrap(true);
    lblExplain->setMinimumWidth(440);
    lblProgress = new QLabel(this);
    lblProgress->setWordWrap(true);
    lblManual = new QLabel(this);
    lblManual->setWordWrap(true);
    for (QLabel* l : {lblExplain, lblProgress, lblManual})
        l->setTextFormat(Qt::PlainText);

    Commands = new QPlainTextEdit(FromView(kx::AccessFixCommands()), this);
    Commands->setReadOnly(true);
    Commands->setLineWrapMode(QPlainTextEdit::NoWrap);
    Commands->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // Wide enough for the longest command where the screen allows: read whole, not scrolled.
    const QFontMetrics fixed(Commands->font());
    int widest = 0;
    for (const QString& line : Commands->toPlainText().split(QLatin1Char('\n')))
        widest = std::max(widest, fixed.horizontalAdvance(line));
    Commands->setMinimumSize(std::min(widest + 32, 900), fixed.lineSpacing() * 7 + 12);
    CopyCommands = new QPushButton(tr("Copy commands"), this);

    Install = new QPushButton(tr("Install rule"), this);
    Install->setDefault(true);
    Cancel = new QPushButton(tr("Cancel"), this);

    auto* copyRow = new QHBoxLayout;
    copyRow->addStretch();
    copyRow->addWidget(CopyCommands);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Install);
    buttons->addWidget(Cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblExplain);
    layout->addWidget(lblProgress);
    layout->addWidget(lblManual);
    layout->addWidget(Commands);
    layout->addLayout(copyRow);
    layout->addStretch();
    layout->addLayout(buttons);

    for (QWidget* w : std::initializer_list<QWidget*>{lblProgress, lblManual, Commands, CopyCommands})
        w->hide();
    connect(Install, &QPushButton::clicked, this, &AccessFixDialog::Install_Click);
    connect(Cancel, &QPushButton::clicked, this, &AccessFixDialog::reject);
    connect(CopyCommands, &QPushButton::clicked, this, &AccessFixDialog::CopyCommands_Click);

    if (Command.Program.isEmpty())
        ShowManualSteps(Command.Missing);
}

AccessFixDialog::~AccessFixDialog()
{
    // pkexec goes with the dialog rather than outliving it unheard.
    if (Process)
        Process->disconnect(this);
}

void AccessFixDialog::Install_Click()
{
    if (Process || Command.Program.isEmpty())
        return;
    Process = new QProcess(this);
    Process->setProcessChannelMode(QProcess::SeparateChannels);
    connect(Process, &QProcess::finished, this, [this](int exitCode, QProcess::ExitStatus status) {
        const QString errorOutput = QString::fromLocal8Bit(Process->readAllStandardError());
        Process->deleteLater();
        Process = nullptr;
        InstallFinished(status == QProcess::NormalExit ? exitCode : -1, errorOutput);
    });
    connect(Process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;  // the end is told by finished()
        Process->deleteLater();
        Process = nullptr;
        InstallFinished(-1, QString());
    });
    Install->setEnabled(false);
    Cancel->setEnabled(false);
    lblProgress->setText(tr("Waiting for the password..."));
    lblProgress->show();
    Process->start(Command.Program, Command.Arguments);
}

void AccessFixDialog::InstallFinished(int exitCode, const QString& errorOutput)
{
    Install->setEnabled(true);
    Cancel->setEnabled(true);
    lblProgress->hide();
    const QString rule = FromView(kx::AccessRuleDestination);
    switch (static_cast<kx::RuleHelperStatus>(exitCode)) {
    case kx::RuleHelperStatus::Installed:
        emit RuleInstalled();
        accept();
        return;
    case kx::RuleHelperStatus::NotApplied:
        // Written, only udev could not be told: the board gets it when it comes again.
        emit RuleInstalled();
        ShowOutcome(tr("The rule is installed. Unplug the board and plug it in again to apply it."));
        return;
    case kx::RuleHelperStatus::Masked:
        ShowOutcome(tr("The board's rule is turned off on this computer: %1 is a link to /dev/null or "
                                   "an empty file, and was left as it is. The computer's administrator can remove "
                                   "it to turn the rule on.")
                        .arg(rule));
        return;
    case kx::RuleHelperStatus::Foreign:
        ShowOutcome(tr("%1 is already there and is not this program's rule: it was left as it is. "
                                   "The computer's administrator can change or remove it.")
                        .arg(rule));
        return;
    case kx::RuleHelperStatus::Packaged:
        ShowOutcome(tr("The rule is already installed by the kx5170-config package, in "
                                   "/usr/lib/udev/rules.d: nothing was changed. Unplug the board and plug it in "
                                   "again to apply it."));
        return;
    default:
        break;
    }
    if (exitCode == PkexecDismissed) {
        ShowManualSteps(tr("The password request was cancelled."));
    } else if (exitCode == PkexecNotAuthorised) {
        ShowManualSteps(tr("The password could not be asked for, or permission was refused."));
    } else {
        // The installer says what went wrong in its last line, after its name.
        QString said = errorOutput.trimmed().section(QLatin1Char('\n'), -1);
        said = QString::fromStdString(kx::PlainText(said.section(QStringLiteral(": "), 1, -1).toStdString()));
        ShowManualSteps(said.isEmpty() ? tr("The rule installer failed.")
                                       : tr("The rule installer failed: %1.").arg(said));
    }
}

void AccessFixDialog::ShowManualSteps(const QString& why)
{
    lblManual->setText(why + tr(" To install the rule yourself, run these commands in a terminal:"));
    lblManual->show();
    Commands->show();
    CopyCommands->show();
    CopyCommands->setText(tr("Copy commands"));
    if (Command.Program.isEmpty()) {
        Install->hide();
        CopyCommands->setDefault(true);
    } else {
        Install->setText(tr("Try again"));
    }
    Cancel->setText(tr("Close"));
    adjustSize();
}

void AccessFixDialog::ShowOutcome(const QString& what)
{
    lblManual->setText(what);
    lblManual->show();
    // Nothing to run by hand: the commands would overwrite what the administrator chose.
    Commands->hide();
    CopyCommands->hide();
    Install->hide();
    Cancel->setText(tr("Close"));
    Cancel->setDefault(true);
    adjustSize();
}

void AccessFixDialog::CopyCommands_Click()
{
    QGuiApplication::clipboard()->setText(Commands->toPlainText());
    CopyCommands->setText(tr("Copied"));
}

void AccessFixDialog::reject()
{
    // Closing now would leave the password prompt without anyone to hear its answer.
    if (!Process)
        QDialog::reject();
}
