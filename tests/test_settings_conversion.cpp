// A settings file from a board that counts another number of steps a turn: stops and
// centre offset scaled to keep their angle, figures worked out by hand.
#include "settings_conversion.h"

#include <QtTest>

using namespace kx;

namespace {

// "stops=5000 motor_filter=4" as a file, or the named values of one.
SettingsFile FileOf(const QString& settings, std::optional<int> boardType)
{
    SettingsFile file;
    file.BoardType = boardType;
    for (const QString& setting : settings.split(' ', Qt::SkipEmptyParts)) {
        const SettingsField* field = FindSettingByKey(setting.section('=', 0, 0).toStdString());
        file.Values[std::size_t(field - SettingsFields.data())] = setting.section('=', 1).toInt();
    }
    return file;
}

QString Named(const SettingsFile& file)
{
    QStringList named;
    for (std::size_t i = 0; i < SettingsCount; ++i)
        if (file.Values[i])
            named << QStringLiteral("%1=%2").arg(SettingsFields[i].Key).arg(*file.Values[i]);
    named.sort();
    return named.join(' ');
}

}  // namespace

class TestSettingsConversion : public QObject {
    Q_OBJECT

private slots:
    void Converts_data()
    {
        QTest::addColumn<int>("fileType");  // -1: the file names none
        QTest::addColumn<int>("boardType");  // -1: not read
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("converted");  // sorted by key; empty when refused
        QTest::addColumn<QString>("reason");

        // 5000 × 10000 / 8192 = 6103.52; -100 × 10000 / 8192 = -122.07.
        QTest::newRow("8192 to 10000") << 1 << 2 << "stops=5000 centre_offset=-100 all_effects_scale=75 motor_filter=4"
                                       << "all_effects_scale=75 centre_offset=-122 motor_filter=4 stops=6104" << "";
        // 6104 × 8192 / 10000 = 5000.40.
        QTest::newRow("10000 to 8192") << 3 << 1 << "stops=6104" << "stops=5000" << "";
        // 256 × 10000 / 8192 = 312.5 exactly, either side of zero.
        QTest::newRow("halves away from zero") << 1 << 2 << "stops=256 centre_offset=-256"
                                               << "centre_offset=-313 stops=313" << "";
        QTest::newRow("types that count alike") << 2 << 3 << "stops=5000 centre_offset=-100"
                                                << "centre_offset=-100 stops=5000" << "";
        // 53686 × 10000 / 8192 = 65534.67; -26843 × 10000 / 8192 = -32767.33.
        QTest::newRow("just inside the ranges") << 1 << 2 << "stops=53686 centre_offset=-26843"
                                                << "centre_offset=-32767 stops=65535" << "";
        // 53687 × 10000 / 8192 = 65535.89.
        QTest::newRow("stops past 65535") << 1 << 2 << "stops=53687" << ""
                                          << "stops = 53687 at 8192 counts a turn would be 65536 at this board's 10000, "
                                             "outside its range, 0 to 65535";
        // -26844 × 10000 / 8192 = -32768.55.
        QTest::newRow("centre offset below -32768")
            << 1 << 3 << "stops=100 centre_offset=-26844" << ""
            << "centre_offset = -26844 at 8192 counts a turn would be -32769 at this board's 10000, "
               "outside its range, -32768 to 32767";
        QTest::newRow("file without a board type") << -1 << 2 << "stops=5000" << "" << "does not say which board type";
        QTest::newRow("file of an unknown type") << 4 << 2 << "stops=5000" << "" << "saved from board type 4, whose";
        QTest::newRow("board of an unknown type") << 1 << 0 << "stops=5000" << "" << "this board is board type 0, whose";
        QTest::newRow("board type not read") << 1 << -1 << "stops=5000" << "" << "type could not be read";
    }

    void Converts()
    {
        QFETCH(int, fileType);
        QFETCH(int, boardType);
        QFETCH(QString, file);
        QFETCH(QString, converted);
        QFETCH(QString, reason);
        auto maybe = [](int type) { return type < 0 ? std::nullopt : std::optional<int>(type); };
        const auto result = ConvertSettingsFile(FileOf(file, maybe(fileType)), maybe(boardType));
        if (const auto* refused = std::get_if<std::string>(&result)) {
            QVERIFY2(!reason.isEmpty(), refused->c_str());
            QVERIFY2(QString::fromStdString(*refused).contains(reason), refused->c_str());
            return;
        }
        QVERIFY(reason.isEmpty());
        QCOMPARE(Named(std::get<SettingsFile>(result)), converted);
        QCOMPARE(std::get<SettingsFile>(result).BoardType, std::optional<int>(boardType));
    }
};

QTEST_APPLESS_MAIN(TestSettingsConversion)
#include "test_settings_conversion.moc"
