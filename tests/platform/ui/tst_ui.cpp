#include "tests/support/TestMain.h"

#include "platform/ui/Ui.h"
#include "platform/ui/UiHelpers.h"

#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

class TestUi : public QObject {
    Q_OBJECT
private slots:
    void uncaughtErrorIsShownAndTheProgramGoesOn()
    {
        ui::ScriptedUi s;
        ui::ScopedUi scope(s);
        struct Throwing : QObject {
            bool event(QEvent*) override { throw slip::Error(QStringLiteral("disk full")); }
        } target;
        QEvent e(QEvent::User);
        QVERIFY(!QCoreApplication::sendEvent(&target, &e));
        QCOMPARE(s.messages, QStringList{QStringLiteral("程序发生错误，当前操作已中止：\ndisk full")});
        QCOMPARE(s.icons, QList<ui::Icon>{ui::Icon::Warning});
    }

    void runStepShowsTheMessageOfAFailedStep()
    {
        ui::ScriptedUi s;
        ui::ScopedUi scope(s);
        int done = 0;
        QVERIFY(ui::RunStep(QStringLiteral("存储数据发生错误！"), [&] { ++done; }));
        QVERIFY(!ui::RunStep(QStringLiteral("存储数据发生错误！"), [&] { throw slip::Error(QStringLiteral("disk full")); }));
        QCOMPARE(done, 1);
        QCOMPARE(s.messages, QStringList{QStringLiteral("存储数据发生错误！")});
        // Ignored failures show nothing; errors that are no program errors are not taken.
        QVERIFY(!ui::Quietly([] { throw slip::Error(QStringLiteral("gone")); }));
        QCOMPARE(s.messages.size(), 1);
        QVERIFY_THROWS_EXCEPTION(std::logic_error, ui::RunStep(QString(), [] { throw std::logic_error("bug"); }));
    }

    void scriptedAnswersAndRecords()
    {
        ui::ScriptedUi s;
        ui::ScopedUi scope(s);
        s.answerYes(true);
        s.answerText(QStringLiteral("202612"));
        s.answerText(std::nullopt);
        ui::ShowMessage(QStringLiteral("一"));
        QVERIFY(ui::AskYesNo(QStringLiteral("问？")));
        QVERIFY(!ui::AskYesNo(QStringLiteral("再问？"))); // unanswered is No
        QCOMPARE(ui::current().inputText(QStringLiteral("c"), QStringLiteral("p"), QString()), std::optional<QString>(QStringLiteral("202612")));
        QCOMPARE(ui::current().inputText(QStringLiteral("c"), QStringLiteral("p"), QString()), std::optional<QString>());
        QCOMPARE(s.messages, QStringList{QStringLiteral("一")});
        QCOMPARE(s.questions, (QStringList{QStringLiteral("问？"), QStringLiteral("再问？")}));
        QCOMPARE(s.unanswered, QStringList{QStringLiteral("再问？")});
    }

    void selectFolder()
    {
        ui::ScriptedUi s;
        ui::ScopedUi scope(s);
        s.answerFile(QStringLiteral("/home/op/工资条"));
        QString folder = QStringLiteral("stale");
        QVERIFY(ui::SelectFolder(nullptr, QStringLiteral("选择文件夹"), QString(), folder));
        QCOMPARE(folder, QStringLiteral("/home/op/工资条"));
        QVERIFY(!ui::SelectFolder(nullptr, QStringLiteral("选择文件夹"), QString(), folder));
        QCOMPARE(folder, QString());
    }

    void enterMovesFocus_data()
    {
        QTest::addColumn<bool>("fromMemo");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("focused");
        QTest::newRow("one-line box, Enter") << false << int(Qt::Key_Return) << int(Qt::NoModifier) << "second";
        QTest::newRow("one-line box, keypad Enter") << false << int(Qt::Key_Enter) << int(Qt::NoModifier) << "second";
        QTest::newRow("one-line box, other key") << false << int(Qt::Key_A) << int(Qt::NoModifier) << "first";
        QTest::newRow("memo, Enter stays") << true << int(Qt::Key_Return) << int(Qt::NoModifier) << "memo";
        QTest::newRow("memo, Ctrl+Enter moves") << true << int(Qt::Key_Return) << int(Qt::ControlModifier) << "first";
    }
    void enterMovesFocus()
    {
        QFETCH(bool, fromMemo);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, focused);
        QDialog dlg;
        auto* layout = new QVBoxLayout(&dlg);
        auto* first = new QLineEdit(&dlg);
        first->setObjectName(QStringLiteral("first"));
        auto* disabled = new QLineEdit(&dlg);
        disabled->setEnabled(false);
        auto* second = new QLineEdit(&dlg);
        second->setObjectName(QStringLiteral("second"));
        auto* memo = new QPlainTextEdit(&dlg);
        memo->setObjectName(QStringLiteral("memo"));
        for (QWidget* w : {static_cast<QWidget*>(first), static_cast<QWidget*>(disabled),
                           static_cast<QWidget*>(second), static_cast<QWidget*>(memo)})
            layout->addWidget(w);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QWidget* from = fromMemo ? static_cast<QWidget*>(memo) : first;
        from->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), from);
        ui::EnterToNextControl(from, key, Qt::KeyboardModifiers(modifiers));
        QCoreApplication::processEvents();
        QCOMPARE(QApplication::focusWidget()->objectName(), focused);
    }
};

SLIP_TEST_MAIN(TestUi)

#include "tst_ui.moc"
