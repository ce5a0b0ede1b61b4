// Settings files: what is refused (with its line and reason), what is taken, and a
// saved file read back.
#include "setting_bounds.h"
#include "settings_file.h"

#include <QtTest>

using namespace kx;
Q_DECLARE_METATYPE(SettingBound)

namespace {

const WheelSettings Typical{1234, -300, 17, 18, 19, 50, 25, 21, 22, 23, 10000, 100};

SettingsFile Parsed(const QByteArray& text)
{
    auto result = ParseSettingsFile(std::string_view(text.constData(), text.size()));
    if (auto* error = std::get_if<SettingsFileError>(&result))
        qWarning("refused: line %d: %s", error->Line, error->Reason.c_str());
    return std::get<SettingsFile>(result);
}

}  // namespace

class TestSettingsFile : public QObject {
    Q_OBJECT

private slots:
    void RefusesWithLineAndReason_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("reason");
        const QByteArray m = "kx5170-settings = 1\n";
        QTest::newRow("empty") << QByteArray() << 1 << "the first line must be";
        QTest::newRow("no marker") << QByteArray("# saved\nstops = 10\n") << 2 << "the first line must be";
        QTest::newRow("version 2") << QByteArray("kx5170-settings = 2\n") << 1 << "version \"2\" is not one";
        QTest::newRow("marker twice") << m + "kx5170-settings = 1\n" << 2 << "given twice";
        QTest::newRow("typo") << m + "stop = 10\n" << 2 << "unknown setting \"stop\"";
        QTest::newRow("no equals") << m + "\nstops 10\n" << 3 << "expected \"key = value\"";
        QTest::newRow("no key") << m + "= 10\n" << 2 << "expected \"key = value\"";
        QTest::newRow("twice") << m + "stops = 1\r\nstops = 2\r\n" << 3 << "given twice (first on line 2)";
        QTest::newRow("fraction") << m + "stops = 12.5\n" << 2 << "must be a whole number, not \"12.5\"";
        QTest::newRow("empty value") << m + "stops =\n" << 2 << "must be a whole number";
        QTest::newRow("sign twice") << m + "centre_offset = +-3\n" << 2 << "must be a whole number";
        QTest::newRow("beyond 64 bits") << m + "stops = 99999999999999999999\n" << 2 << "outside its range, 0 to 65535";
        QTest::newRow("board type") << m + "board_type = 256\n" << 2 << "board_type";
        QTest::newRow("NUL") << m + "stops = 1\n" + QByteArray(1, '\0') << 3 << "not UTF-8 text";
        QTest::newRow("Latin-1") << m + "# caf\xE9\n" << 2 << "not UTF-8 text";
        QTest::newRow("overlong") << QByteArray("\xC0\xAF") << 1 << "not UTF-8 text";
        QTest::newRow("surrogate") << m + "# \xED\xA0\x80\n" << 2 << "not UTF-8 text";
        QTest::newRow("64 KiB and a byte") << m + QByteArray(64 * 1024 + 1 - m.size(), '#') << 0
                                           << "larger than 64 KiB";
        // A setting above the marker is not read as one: the file is not a settings file.
        QTest::newRow("setting above the marker") << "stops = 10\n" + m << 1 << "the first line must be";
        // A lone CR ends a line as LF and CRLF do, and the line named counts it.
        QTest::newRow("CR only") << QByteArray("kx5170-settings = 1\r\rstop = 2\r") << 3 << "unknown setting \"stop\"";
        QTest::newRow("CR only, a NUL") << QByteArray("# a\r# b\r") + QByteArray(1, '\0') << 3 << "not UTF-8 text";
        QTest::newRow("CR, CRLF, LF") << QByteArray("kx5170-settings = 1\r\n\r\nstops = 1\rstops = 2\n") << 4
                                      << "given twice (first on line 3)";
        // Rotation stands for stops: the two together say one thing twice, in either order.
        QTest::newRow("stops, then rotation") << m + "stops = 10240\n# wide\nrotation = 900\n" << 4
                                              << "\"stops\" and \"rotation\" say the same thing twice (the other is on line 2)";
        QTest::newRow("rotation, then stops") << m + "rotation = 900\nstops = 10240\n" << 3 << "(the other is on line 2)";
        QTest::newRow("rotation twice") << m + "rotation = 900\nrotation = 900\n" << 3 << "given twice (first on line 2)";
        QTest::newRow("rotation, two decimals") << m + "rotation = 899.95\n" << 2
                                                << "\"rotation\" must be degrees lock to lock, such as 900 or 899.9, not \"899.95\"";
        QTest::newRow("rotation, negative") << m + "rotation = -900\n" << 2 << "must be degrees lock to lock";
        QTest::newRow("rotation, a point alone") << m + "rotation = 900.\n" << 2 << "must be degrees lock to lock";
        QTest::newRow("rotation, no whole part") << m + "rotation = .5\n" << 2 << "must be degrees lock to lock";
    }

    void RefusesWithLineAndReason()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, line);
        QFETCH(QString, reason);
        const auto result = ParseSettingsFile(std::string_view(text.constData(), text.size()));
        const auto* error = std::get_if<SettingsFileError>(&result);
        QVERIFY(error);
        QCOMPARE(error->Line, line);
        QVERIFY2(QString::fromStdString(error->Reason).contains(reason), error->Reason.c_str());
    }

    // A message quotes what the file holds as plain text: nothing in it reaches a
    // terminal as a control sequence or a label as markup, and it stays one line.
    void MessagesQuotePlainText_data()
    {
        QTest::addColumn<QByteArray>("fileName");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("message");
        const QByteArray m = "kx5170-settings = 1\n";
        QTest::newRow("title escape in a key")
            << QByteArray("a.kx5170") << m + "\x1B]0;owned\x07stops = 1\n"
            << QByteArray("a.kx5170:2: unknown setting \"\\x1b]0;owned\\x07stops\"");
        QTest::newRow("colour in a value")
            << QByteArray("a.kx5170") << m + "stops = \x1B[31m5\t\x7F\n"
            << QByteArray("a.kx5170:2: \"stops\" must be a whole number, not \"\\x1b[31m5\\t\\x7f\"");
        QTest::newRow("C1 and a line separator")
            << QByteArray("a.kx5170") << m + "\xC2\x9B" "2J\xE2\x80\xA8x = 1\n"
            << QByteArray("a.kx5170:2: unknown setting \"\\u009b2J\\u2028x\"");
        // Nothing invisible, nor anything that turns the text's direction, passes: a
        // name would read otherwise than it is stored ("gt\u202ecod.kx5170" as "gt" then
        // backwards). Each range at both ends, and the neighbours that stay.
        QTest::newRow("direction and invisible characters")
            << QByteArray("gt\u202Ecod.kx5170") << m + "\u061C\u200B\u200F\u202A\u2066\u2069\uFEFF\u200A\u2010 = 1\n"
            << QByteArray("gt\\u202ecod.kx5170:2: unknown setting "
                          "\"\\u061c\\u200b\\u200f\\u202a\\u2066\\u2069\\ufeff\u200A\u2010\"");
        QTest::newRow("markup as typed")
            << QByteArray("<i>a</i>.kx5170") << m + "<b>stops</b> = &amp;\n"
            << QByteArray("<i>a</i>.kx5170:2: unknown setting \"<b>stops</b>\"");
        QTest::newRow("a file name with a line break and a stray byte")
            << QByteArray("a\nb\xFF\rc\x1B[2J") << QByteArray("stops = 1\n")
            << QByteArray("a\\nb\\xff\\rc\\x1b[2J:1: not a settings file: "
                          "the first line must be \"kx5170-settings = 1\"");
        // Cut after 40 characters, never inside one.
        QTest::newRow("long, not ASCII")
            << QByteArray("a") << m + QByteArray("\xC3\xA9").repeated(41) + " = 1\n"
            << "a:2: unknown setting \"" + QByteArray("\xC3\xA9").repeated(40) + "...\"";
    }

    void MessagesQuotePlainText()
    {
        QFETCH(QByteArray, fileName);
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, message);
        const auto result = ParseSettingsFile(std::string_view(text.constData(), text.size()));
        const auto* error = std::get_if<SettingsFileError>(&result);
        QVERIFY(error);
        QCOMPARE(QByteArray::fromStdString(DescribeSettingsFileError(fileName.toStdString(), *error)), message);
    }

    void ReadsWhatAPersonWrites()
    {
        // A byte-order mark, CRLF, blanks and comments everywhere, a sign; the settings it
        // does not name keep what the board holds.
        const SettingsFile file = Parsed("\xEF\xBB\xBF# rally\r\n\r\n  kx5170-settings=1  # v1\r\n"
                                         "board_type = 3\r\n\tstops = 65535 # wide\r\ncentre_offset = -32768\r\n"
                                         "input_filter = +1\r\n");
        QCOMPARE(file.BoardType, std::optional<int>(3));
        QCOMPARE(ApplySettingsFile(Typical, file),
                 (WheelSettings{65535, -32768, 17, 18, 19, 50, 25, 21, 22, 23, 1, 100}));

        // CR line ends alone, as an old editor writes them.
        QCOMPARE(ApplySettingsFile(Typical, Parsed("# rally\rkx5170-settings = 1\r\rstops = 7\rcentre_offset = -5\r")),
                 (WheelSettings{7, -5, 17, 18, 19, 50, 25, 21, 22, 23, 10000, 100}));

        // A file of exactly 64 KiB is read: the limit is on what is larger.
        QByteArray full = "kx5170-settings = 1\nstops = 9\n";
        full += QByteArray(64 * 1024 - full.size() - 1, '#') + '\n';
        QCOMPARE(full.size(), 65536);
        QCOMPARE(ApplySettingsFile(Typical, Parsed(full)).Slimit, 9);
    }

    // Rotation in degrees becomes stops on a board whose counts a turn are known, and
    // on no other.
    void RotationBecomesStops()
    {
        const SettingsFile file = Parsed("kx5170-settings = 1\nrotation = 900\nmotor_filter = 4\n");
        QCOMPARE(file.RotationTenths, std::optional<std::int64_t>(9000));
        // Not a setting until it is resolved: nothing it says reaches the board unread.
        QCOMPARE(ApplySettingsFile(Typical, file), (WheelSettings{1234, -300, 17, 18, 19, 50, 25, 21, 22, 4, 10000, 100}));

        auto resolved = [&](const QByteArray& text, std::optional<int> perTurn) {
            return ResolveRotation(Parsed("kx5170-settings = 1\n" + text), perTurn);
        };
        const auto type1 = std::get<SettingsFile>(resolved("rotation = 900\n", 8192));
        QCOMPARE(type1.Values[0], std::optional<std::int32_t>(10240));
        QVERIFY(!type1.RotationTenths);
        QCOMPARE(std::get<SettingsFile>(resolved("rotation = 0.9\n", 10000)).Values[0], std::optional<std::int32_t>(13));
        QCOMPARE(std::get<SettingsFileError>(resolved("rotation = 4718.6\n", 10000)).Reason,
                 std::string("rotation = 4718.6 would be stops = 65536, outside its range, 0 to 65535: this board turns at "
                             "most 4718.5 degrees lock to lock"));
        // The most a type 1 board turns, and a tenth past it.
        QCOMPARE(std::get<SettingsFile>(resolved("rotation = 5759.9\n", 8192)).Values[0], std::optional<std::int32_t>(65535));
        QCOMPARE(std::get<SettingsFileError>(resolved("rotation = 5760\n", 8192)).Reason,
                 std::string("rotation = 5760 would be stops = 65536, outside its range, 0 to 65535: this board turns at "
                             "most 5759.9 degrees lock to lock"));
        QVERIFY(std::get<SettingsFileError>(resolved("rotation = 99999999999999999999\n", 10000))
                    .Reason.starts_with("rotation = 1000000 would be stops = 1388"));
        QCOMPARE(std::get<SettingsFileError>(resolved("rotation = 900\n", std::nullopt)).Reason,
                 std::string("rotation = 900 needs the board's type, which is not known, to be made stops: give stops "
                             "in counts instead"));
        // A file without a rotation needs no board type.
        QCOMPARE(std::get<SettingsFile>(resolved("stops = 7\n", std::nullopt)).Values[0], std::optional<std::int32_t>(7));
    }

    void Bounds_data()
    {
        QTest::addColumn<SettingBound>("bound");
        for (const SettingBound& b : SettingBounds)
            QTest::addRow("%s %d", b.Key, b.Beyond) << b;
    }

    void Bounds()
    {
        QFETCH(SettingBound, bound);
        // The file names one setting: the value taken is the one given.
        auto taken = [&](int value, OutOfRange outOfRange) -> std::optional<int> {
            const auto result = ParseSettingsFile(
                "kx5170-settings = 1\n" + std::string(bound.Key) + " = " + std::to_string(value), outOfRange);
            if (const auto* file = std::get_if<SettingsFile>(&result))
                for (const auto& given : file->Values)
                    if (given)
                        return given;
            return std::nullopt;
        };
        QCOMPARE(taken(bound.On, OutOfRange::Refuse), std::optional(bound.On));
        QCOMPARE(taken(bound.Beyond, OutOfRange::Refuse), std::nullopt);
        QCOMPARE(taken(bound.Beyond, OutOfRange::Clamp), bound.Clamped ? std::optional(bound.On) : std::nullopt);
    }

    void SavedFileIsReadBackWhole()
    {
        // Every value distinct, so that a key written against the wrong setting shows.
        const std::string text = FormatSettingsFile(Typical, {"KX5170 Wheel", "SN-1", "3.7", "2026-12-07", 3});
        const SettingsFile file = Parsed(QByteArray::fromStdString(text));
        QCOMPARE(ApplySettingsFile(WheelSettings{}, file), Typical);
        QCOMPARE(file.BoardType, std::optional<int>(3));
        // In the window's order, from the top.
        QCOMPARE(text, std::string("# KX5170 wheel settings\n"
                                   "# Board: KX5170 Wheel, serial number SN-1, version 3.7\n"
                                   "# Saved 2026-12-07\n"
                                   "kx5170-settings = 1\n"
                                   "board_type = 3\n"
                                   "centre_offset = -300          # counts, -32768 to 32767\n"
                                   "overall_damping = 19          # 0 to 250\n"
                                   "overall_inertia = 21          # 0 to 250\n"
                                   "overall_friction = 22         # 0 to 250\n"
                                   "stops = 1234                  # counts, 0 to 65535\n"
                                   "stops_stiffness = 17          # 0 to 255\n"
                                   "stops_damping = 18            # 0 to 255\n"
                                   "centering_spring = 100        # 0 to 127\n"
                                   "motor_filter = 23             # 1 to 255\n"
                                   "input_filter = 10000          # 1 to 10000\n"
                                   "all_effects_scale = 25        # percent, 1 to 100\n"
                                   "damper_effect_scale = 50      # percent, 1 to 100\n"));

        // Board strings cannot add settings: a line break would end its comment; a byte that
        // is not UTF-8 would make the whole file unreadable.
        const std::string hostile =
            FormatSettingsFile(Typical, {"Wheel\nstops = 1", "\r\ncentering_spring = 0", "\xFF\xC3", "", {}});
        QCOMPARE(ApplySettingsFile(WheelSettings{}, Parsed(QByteArray::fromStdString(hostile))), Typical);
    }
};

QTEST_APPLESS_MAIN(TestSettingsFile)
#include "test_settings_file.moc"
