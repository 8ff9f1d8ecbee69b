#include "tests/support/ScriptedDialogs.h"
#include "tests/support/Session.h"
#include "tests/support/TestMain.h"
#include "tests/support/Typing.h"

#include "common/Text.h"

#include "common/StartValues.h"
#include "settings/uParaSet.h"
#include "settings/uPassInput.h"
#include "settings/uPassSet.h"
#include "platform/grid/DBGrid.h"

#include <QComboBox>
#include <QLabel>
#include <QToolButton>
#include "common/uCommon.h"
#include <QLineEdit>
#include <QPushButton>

class TestPasswords : public QObject {
    Q_OBJECT
private slots:

    void promptShowsStars()
    {
        TfrmPassInput prompt;
        QCOMPARE(prompt.EditPass->echoMode(), QLineEdit::Password);
        QCOMPARE(prompt.cmdEnsure->text(), QStringLiteral("确认(&E)"));
        QCOMPARE(prompt.cmdCancel->text(), QStringLiteral("取消(&X)"));
        QVERIFY(prompt.cmdEnsure->isDefault());
        ui::ScriptedUi s;
        ui::ScopedUi scope(s);
        s.answerDialog([](QDialog& d) {
            auto& p = dynamic_cast<TfrmPassInput&>(d);
            return int(p.lblHint->text() == QStringLiteral("提示") ? QDialog::Accepted : QDialog::Rejected);
        });
        InputPassword(QStringLiteral("标题"), QStringLiteral("提示"));
        QCOMPARE(s.dialogTitles, QStringList{QStringLiteral("标题")});
    }

    void checkPass_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("oldText");
        QTest::addColumn<QString>("newText");
        QTest::addColumn<QString>("confirm");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("storedAfter");
        QTest::newRow("changed") << QVariant(QStringLiteral("580")) << "580" << "New1" << "New1" << true
                                 << "修改密码成功！" << "New1";
        QTest::newRow("from empty") << QVariant(QString()) << "" << "x" << "x" << true << "修改密码成功！" << "x";
        QTest::newRow("from null") << QVariant() << "" << "x" << "x" << true << "修改密码成功！" << "x";
        QTest::newRow("back to none") << QVariant(QStringLiteral("Abc")) << "Abc" << "" << "" << true
                                      << "修改密码成功！" << "";
        QTest::newRow("confirmation differs in case") << QVariant(QStringLiteral("580")) << "580" << "New1" << "new1"
                                                      << false << "新密码与确认输入的新密码不一致！" << "580";
        QTest::newRow("wrong old password") << QVariant(QStringLiteral("Abc")) << "abc" << "x" << "x" << false
                                            << "要修改密码，必须输入正确的原密码！" << "Abc";
        QTest::newRow("quote in the password") << QVariant(QStringLiteral("580")) << "580" << "a'b" << "a'b" << true
                                               << "修改密码成功！" << "a'b";
    }
    void checkPass()
    {
        QFETCH(QVariant, stored);
        QFETCH(QString, oldText);
        QFETCH(QString, newText);
        QFETCH(QString, confirm);
        QFETCH(bool, closes);
        QFETCH(QString, message);
        QFETCH(QString, storedAfter);
        Session s;
        s.dm.ADOLocal.execute(QStringLiteral("update TPara set LogPass=?"), {stored});
        startValues().loginPassword = QStringLiteral("before");
        TfrmPassSet dlg(s.dm);
        dlg.EditOld->setText(oldText);
        dlg.EditNew->setText(newText);
        dlg.EditNewEnsure->setText(confirm);
        QCOMPARE(dlg.CheckPass(), closes);
        QCOMPARE(s.ui.messages, QStringList{message});
        QCOMPARE(s.dm.GetDataBySQL(QStringLiteral("select LogPass from TPara")), storedAfter);
        QCOMPARE(startValues().loginPassword, closes ? newText : QStringLiteral("before"));
        if (!closes && newText != confirm) {
            QVERIFY(dlg.EditNew->text().isEmpty() && dlg.EditNewEnsure->text().isEmpty());
            QCOMPARE(dlg.EditOld->text(), oldText);
        }
        if (!closes && newText == confirm)
            QVERIFY(dlg.EditOld->text().isEmpty());
    }

    void checkPassWithoutDatabase()
    {
        Session s;
        TfrmPassSet dlg(s.dm);
        s.dm.ADOLocal.close();
        QVERIFY(!dlg.CheckPass());
        QCOMPARE(s.ui.messages, QStringList{QStringLiteral("读取数据文件发生错误！")});
    }

    void passSetTexts()
    {
        Session s;
        TfrmPassSet dlg(s.dm);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("参数修改密码设置"));
        QCOMPARE(dlg.Label4->text(), QStringLiteral("初始密码为580"));
        QCOMPARE(dlg.Memo1->text().split(QLatin1Char('\n')),
                 (QStringList{"如果密码修改为初始密码为空（或580），则表示", "登陆不需要输入密码！否则，表示登陆（清除数据",
                              "以及还原数据）需要输入密码。"}));
        for (QLineEdit* e : {dlg.EditOld, dlg.EditNew, dlg.EditNewEnsure})
            QCOMPARE(e->echoMode(), QLineEdit::Password);
    }
};

class TestParaSet : public QObject {
    Q_OBJECT
private slots:
    void loading_data()
    {
        QTest::addColumn<QString>("update");
        QTest::addColumn<QString>("height");
        QTest::addColumn<int>("printDays");
        QTest::addColumn<int>("showFloat");
        QTest::newRow("delivered") << "" << "296.78" << 0 << 0;
        QTest::newRow("nulls") << "update TPara set BillHeight=NULL, PrintDays=NULL, ShowFloat=NULL" << "296.78" << 0 << 0;
        QTest::newRow("set") << "update TPara set BillHeight=43, PrintDays=1, ShowFloat=1" << "43.00" << 1 << 1;
        QTest::newRow("four places before the point") << "update TPara set BillHeight=1234.5" << "1234.50" << 0 << 0;
    }
    void loading()
    {
        QFETCH(QString, update);
        QFETCH(QString, height);
        QFETCH(int, printDays);
        QFETCH(int, showFloat);
        Session s;
        if (!update.isEmpty())
            s.dm.ADOLocal.execute(update);
        TfrmParaSet dlg(s.dm);
        dlg.ReadyData();
        QCOMPARE(dlg.EditEntName->text(), s.dm.GetDataBySQL(QStringLiteral("select EntName from TPara")));
        QCOMPARE(NormalizeNumText(dlg.heightText()), height);
        QCOMPARE(dlg.cmbPrintDays->currentIndex(), printDays);
        QCOMPARE(dlg.cmbShowFloat->currentIndex(), showFloat);
    }

    void saving_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("keys"); // typed into the emptied height box; "A4"/"B5": the menu
        QTest::addColumn<bool>("saved");
        QTest::addColumn<QString>("storedHeight");
        QTest::newRow("43 followed by blanks") << "  某某公司 " << "43" << true << "43";
        QTest::newRow("exactly 43.00") << "甲" << "043.00" << true << "43";
        QTest::newRow("B5") << "甲" << "B5" << true << "256.8";
        QTest::newRow("A4") << "甲" << "A4" << true << "296.78";
        QTest::newRow("empty mask") << "  某某公司 " << "" << false << "296.78";
        QTest::newRow("below the minimum") << "甲" << "042.99" << false << "296.78";
        QTest::newRow("quote and percent in the name") << "O'Neil 100%" << "100" << true << "100";
    }
    void saving()
    {
        QFETCH(QString, name);
        QFETCH(QString, keys);
        QFETCH(bool, saved);
        QFETCH(QString, storedHeight);
        Session s;
        const QString storedName = s.dm.GetDataBySQL(QStringLiteral("select EntName from TPara"));
        TfrmParaSet dlg(s.dm);
        dlg.ReadyData();
        dlg.show();
        dlg.EditEntName->setText(name);
        if (keys == QLatin1String("A4") || keys == QLatin1String("B5")) {
            dlg.SetStandardHeight(keys);
            QCOMPARE(NormalizeNumText(dlg.heightText()), keys == QLatin1String("B5") ? QStringLiteral("256.80")
                                                                                   : QStringLiteral("296.78"));
        } else {
            dlg.EditBillHeight->clear();
            dlg.EditBillHeight->setFocus();
            dlg.EditBillHeight->home(false);
            QTest::keyClicks(dlg.EditBillHeight, keys);
        }
        dlg.cmbPrintDays->setCurrentIndex(1);
        dlg.cmbShowFloat->setCurrentIndex(1);
        QCOMPARE(dlg.SaveData(), saved);
        const QString trimmed = name.trimmed();
        QCOMPARE(dlg.EditEntName->text(), trimmed); // trimmed even when refused
        QCOMPARE(s.ui.messages, saved ? QStringList() : QStringList{kMinHeightMessage});
        QCOMPARE(s.dm.GetDataBySQL(QStringLiteral("select BillHeight from TPara")), storedHeight);
        QCOMPARE(s.dm.GetDataBySQL(QStringLiteral("select EntName from TPara")), saved ? trimmed : storedName);
        QCOMPARE(s.dm.GetDataBySQL(QStringLiteral("select PrintDays || ShowFloat from TPara")),
                 saved ? QStringLiteral("11") : QStringLiteral("00"));
        QCOMPARE(startValues().companyName, saved ? trimmed : QString());
        if (saved)
            QCOMPARE(s.dm.dsPara.fieldByName(QStringLiteral("EntName")).asString(), trimmed); // reopened
    }

    void storeFailureKeepsTheDialogOpen()
    {
        Session s;
        TfrmParaSet dlg(s.dm);
        dlg.ReadyData();
        // A stored row that cannot be updated.
        s.dm.ADOLocal.execute(QStringLiteral("create trigger failing before update on TPara "
                                             "begin select raise(abort, 'disk full'); end"));
        dlg.cmdSH->click();
        QCOMPARE(s.ui.messages, QStringList{kStoreDbError});
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
    }
};

// Values the parameters dialog keeps whole, and texts that do not fit.
class TestParaSetTrust : public QObject {
    Q_OBJECT
private slots:
    void heightThatDoesNotFitTheMaskIsKept()
    {
        Session s;
        s.dm.ADOLocal.execute(QStringLiteral("update TPara set BillHeight=1234.5"));
        TfrmParaSet dlg(s.dm);
        dlg.ReadyData();
        QCOMPARE(dlg.EditBillHeight->text(), QStringLiteral("1234.50"));
        QVERIFY(dlg.SaveData());
        QCOMPARE(s.dm.GetDataBySQL(QStringLiteral("select BillHeight from TPara")), QStringLiteral("1234.5"));
    }

    void companyNameHoldsItsColumn()
    {
        Session s;
        TfrmParaSet dlg(s.dm);
        dlg.ReadyData();
        dlg.show();
        dlg.EditEntName->clear();
        typeText(dlg.EditEntName, QString(51, QChar(0x5DE5)));
        QCOMPARE(dlg.EditEntName->text(), QString(50, QChar(0x5DE5))); // 100 GBK bytes
        const QString before = s.dm.GetDataBySQL(QStringLiteral("select EntName from TPara"));
        dlg.EditEntName->setText(QString(51, QChar(0x5DE5)));
        QVERIFY(!dlg.SaveData());
        QCOMPARE(s.ui.messages, QStringList{TooLongMessage(QStringLiteral("公司名称"), 100)});
        QCOMPARE(s.dm.GetDataBySQL(QStringLiteral("select EntName from TPara")), before);
    }
};

SLIP_TEST_MAIN(TestPasswords, TestParaSet, TestParaSetTrust)

#include "tst_settings.moc"
