// Whether a rule for the board is installed, on rule folders made here: the same cases
// as scripts/run's own check (tests/access/check_rule_check.sh), and which file udev
// reads under the rule's name when the administrator masked it.
#include "access_help.h"

#include <QtTest>

#include <filesystem>
#include <fstream>

using namespace kx;

namespace {

const std::string Rule = "ACTION!=\"remove\", SUBSYSTEM==\"hidraw\", ATTRS{idVendor}==\"6c1b\", "
                         "ATTRS{idProduct}==\"5e11\", TAG+=\"uaccess\"";

void Write(const std::filesystem::path& file, const std::string& content)
{
    std::filesystem::create_directories(file.parent_path());
    if (content == "@null") {
        std::filesystem::create_symlink("/dev/null", file);
        return;
    }
    std::ofstream(file, std::ios::binary) << content;
}

}  // namespace

class TestBoardRule : public QObject {
    Q_OBJECT

private slots:
    void FindsTheBoardsRule_data()
    {
        QTest::addColumn<QStringList>("files");  // "folder/name|content"; "@null" a link to /dev/null
        QTest::addColumn<QString>("where");      // the file found, relative; empty: none
        QTest::addColumn<bool>("masked");
        auto row = [](const char* name, QStringList files, const QString& where, bool masked = false) {
            QTest::newRow(name) << files << where << masked;
        };
        const QString rule = QString::fromStdString(Rule);
        row("nothing", {}, {});
        row("packaged", {"usr/lib/70-kx5170.rules|" + rule}, "usr/lib/70-kx5170.rules");
        row("by attribute, capitals", {"etc/99-wheels.rules|ACTION==\"add\", ATTRS{idVendor}==\"6C1B\", MODE=\"0660\""},
            "etc/99-wheels.rules");
        row("by property",
            {"run/50-local.rules|SUBSYSTEM==\"hidraw\", ENV{ID_VENDOR_ID} == \"6c1b\", TAG+=\"uaccess\""},
            "run/50-local.rules");
        row("by bus ID", {"etc/60-hid.rules|KERNELS==\"0003:6C1B:*\", TAG+=\"uaccess\""}, "etc/60-hid.rules");
        row("commented out", {"etc/99-wheels.rules|# ATTRS{idVendor}==\"6c1b\", TAG+=\"uaccess\""}, {});
        row("not a rules file", {"etc/99-wheels.rules.disabled|" + rule}, {});
        row("hidden", {"etc/.99-wheels.rules|" + rule}, {});
        row("a vendor that ends in 6c1b", {"etc/99-other.rules|ATTRS{idVendor}==\"16c1b\", TAG+=\"uaccess\""}, {});
        row("a product 6c1b", {"etc/99-other.rules|ATTRS{idVendor}==\"046d\", ATTRS{idProduct}==\"6c1b\""}, {});
        // Under the rule's name anything counts: the administrator's to undo.
        row("masked", {"etc/70-kx5170.rules|@null", "usr/lib/70-kx5170.rules|" + rule}, "etc/70-kx5170.rules", true);
        row("masked by an empty file", {"etc/70-kx5170.rules|"}, "etc/70-kx5170.rules", true);
        row("another text under the name", {"etc/70-kx5170.rules|# mine"}, "etc/70-kx5170.rules");
        // udev reads the first folder's file of a name; a mask behind it does nothing.
        row("a mask shadowed", {"etc/70-kx5170.rules|" + rule, "usr/lib/70-kx5170.rules|@null"},
            "etc/70-kx5170.rules");
        // The folders' order decides which file is named.
        row("two rules", {"usr/lib/70-kx5170.rules|" + rule, "etc/99-wheels.rules|" + rule}, "etc/99-wheels.rules");
    }

    void FindsTheBoardsRule()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, where);
        QFETCH(bool, masked);
        QTemporaryDir scratch;
        const std::filesystem::path root = scratch.path().toStdString();
        for (const QString& file : files)
            Write(root / file.section(u'|', 0, 0).toStdString(), file.section(u'|', 1).toStdString());
        const std::string folders[] = {(root / "etc").string(), (root / "run").string(),
                                       (root / "usr/lib").string(), (root / "none").string()};
        const std::string_view views[] = {folders[0], folders[1], folders[2], folders[3]};
        const BoardRuleState state = FindBoardRule(views);
        QCOMPARE(state.Installed, !where.isEmpty());
        QCOMPARE(QString::fromStdString(state.Where), where.isEmpty() ? QString() : scratch.filePath(where));
        QCOMPARE(state.Masked, masked);
    }
};

QTEST_APPLESS_MAIN(TestBoardRule)
#include "test_board_rule.moc"
