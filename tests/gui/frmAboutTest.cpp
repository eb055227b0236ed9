#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

#include "SimReceiver.h"
#include "gui/frmAbout.h"
#include "receiver/AboutText.h"
#include "support/Support.h"

namespace orvanrx {

using test::SimReceiver;

namespace {

const QString kName40 = QStringLiteral("ORVAN01 USB Receiver - Lane Timer 123456");  // 40
const QString kName34 = kName40.left(34);

QString TextOf(const QWidget& dialog, const char* name) {
    if (const auto* label = dialog.findChild<QLabel*>(QString::fromLatin1(name))) {
        return label->text();
    }
    if (const auto* box = dialog.findChild<QGroupBox*>(QString::fromLatin1(name))) {
        return box->title();
    }
    if (const auto* button = dialog.findChild<QPushButton*>(QString::fromLatin1(name))) {
        return button->text();
    }
    return QStringLiteral("<no control %1>").arg(QString::fromLatin1(name));
}

QString ShownFirmware(const QWidget& dialog) {
    return dialog.findChild<QPlainTextEdit*>(QStringLiteral("txtUSB"))->toPlainText();
}

}  // namespace

class frmAboutTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void firmwareText_data() {
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("expected");
        const QString date = QStringLiteral("2008-04-16");
        QTest::newRow("0x12") << QStringLiteral("\x12") << QStringLiteral("Receiver") << date
                              << QStringLiteral(
                                     "- Receiver\r\n- Date: 2008-04-16\r\n- Version: v1.2");
        QTest::newRow("0xFF") << QString(QChar(0xFF)) << QStringLiteral("R") << date
                              << QStringLiteral("- R\r\n- Date: 2008-04-16\r\n- Version: v15.15");
        QTest::newRow("0x00 (empty reply)")
            << QString() << QStringLiteral("R") << date
            << QStringLiteral("- R\r\n- Date: 2008-04-16\r\n- Version: v0.0");
        QTest::newRow("0xA0 only the first character")
            << QStringLiteral("\u00A0x") << QStringLiteral("R") << date
            << QStringLiteral("- R\r\n- Date: 2008-04-16\r\n- Version: v10.0");
        QTest::newRow("40-character name")
            << QStringLiteral("\x21") << kName40 << date
            << QStringLiteral("- ") + kName34 +
                   QStringLiteral("\r\n- Date: 2008-04-16\r\n- Version: v2.1");
        QTest::newRow("34-character name")
            << QStringLiteral("\x21") << kName34 << QString()
            << QStringLiteral("- ") + kName34 + QStringLiteral("\r\n- Date: \r\n- Version: v2.1");
        QTest::newRow("short replies")
            << QStringLiteral("** Error **") << QStringLiteral("** Error **")
            << QStringLiteral("** Error **")
            << QStringLiteral("- ** Error **\r\n- Date: ** Error **\r\n- Version: unknown");
    }
    void firmwareText() {
        QFETCH(QString, version);
        QFETCH(QString, name);
        QFETCH(QString, date);
        QFETCH(QString, expected);
        QCOMPARE(FirmwareInfoText(version, name, date), expected);
    }

    void versionLine() {
        QCOMPARE(AboutVersionText(), QStringLiteral("OrvanRX  ") + AppVersionText());
        QVERIFY(AboutVersionText().startsWith(QStringLiteral("OrvanRX   v")));
    }

    void showsTheReceiversFirmware_data() {
        QTest::addColumn<int>("version");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("shown");
        QTest::newRow("0x00") << 0x00 << QStringLiteral("ORVAN01")
                              << QStringLiteral("- ORVAN01\n- Date: 2008-04-16\n- Version: v0.0");
        QTest::newRow("0x12") << 0x12 << QStringLiteral("ORVAN01")
                              << QStringLiteral("- ORVAN01\n- Date: 2008-04-16\n- Version: v1.2");
        QTest::newRow("0xFF") << 0xFF << QStringLiteral("ORVAN01")
                              << QStringLiteral("- ORVAN01\n- Date: 2008-04-16\n- Version: v15.15");
        QTest::newRow("40-character name")
            << 0x10 << kName40
            << QStringLiteral("- ") + kName34 +
                   QStringLiteral("\n- Date: 2008-04-16\n- Version: v1.0");
    }
    void showsTheReceiversFirmware() {
        QFETCH(int, version);
        QFETCH(QString, name);
        QFETCH(QString, shown);
        SimReceiver r({trace::Version{static_cast<std::uint8_t>(version)},
                       trace::Name{name.toStdString()}, trace::Date{"2008-04-16"}});
        frmAbout dialog(r.receiver);
        QCOMPARE(ShownFirmware(dialog), shown);
        QCOMPARE(r.Frames(), (QStringList{QStringLiteral("1B 00"), QStringLiteral("1B 01"),
                                          QStringLiteral("1B 02")}));
        QCOMPARE(TextOf(dialog, "lblVersion"), AboutVersionText());
    }

    void shortRepliesShowAsErrors() {
        SimReceiver r({});
        r.sim.Detach();
        frmAbout dialog(r.receiver);
        QCOMPARE(ShownFirmware(dialog),
                 QStringLiteral("- ** Error **\n- Date: ** Error **\n- Version: unknown"));
    }

    void noReceiverKeepsTheNotPresentText() {
        SimReceiver r({}, false);
        frmAbout dialog(r.receiver);
        QCOMPARE(ShownFirmware(dialog), QStringLiteral("** USB Device Not Present **"));
        QCOMPARE(TextOf(dialog, "lblVersion"), AboutVersionText());
        QVERIFY(r.Frames().isEmpty());
    }

    void showsItsTextsCentredOnTheScreen() {
        SimReceiver r({}, false);
        frmAbout dialog(r.receiver);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("OrvanRX - About"));
        QCOMPARE(TextOf(dialog, "Frame1"), QStringLiteral("OrvanRX Software"));
        QCOMPARE(TextOf(dialog, "Label1"), QStringLiteral("Version:"));
        QCOMPARE(TextOf(dialog, "lblFirmwareTitle"), QStringLiteral("USB Firmware Information..."));
        QCOMPARE(TextOf(dialog, "cmdOK"), QStringLiteral("&OK"));
        QCOMPARE(TextOf(dialog, "cmdCancel"), QStringLiteral("&Cancel"));
        QVERIFY(dialog.findChild<QLabel*>(QStringLiteral("picLogo"))->pixmap().width() > 0);
        QVERIFY(dialog.findChild<QPlainTextEdit*>(QStringLiteral("txtUSB"))->isReadOnly());
        const QRect screen = dialog.screen()->geometry();
        QVERIFY(qAbs(dialog.geometry().center().x() - screen.center().x()) <= 1);
        QVERIFY(qAbs(dialog.geometry().center().y() - screen.center().y()) <= 1);
    }

    void okAndCancelBothClose_data() {
        QTest::addColumn<QString>("button");
        QTest::newRow("OK") << QStringLiteral("cmdOK");
        QTest::newRow("Cancel") << QStringLiteral("cmdCancel");
    }
    void okAndCancelBothClose() {
        QFETCH(QString, button);
        SimReceiver r({});
        frmAbout dialog(r.receiver);
        dialog.show();
        QTest::mouseClick(dialog.findChild<QPushButton*>(button), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
    }
};

}  // namespace orvanrx

QTEST_MAIN(orvanrx::frmAboutTest)
#include "frmAboutTest.moc"
