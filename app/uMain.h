#pragma once
#include "platform/db/RecordSet.h"
#include "platform/report/Report.h"

#include <QMainWindow>

class QGroupBox;
class QMenu;
class QAction;
class QPushButton;
class QToolBar;
class QToolButton;
class TDM;
namespace grid {
class DBGrid;
}

// The main window: tool bar, menus, the pay month list and the pay sheet.
class TfrmMainGZT : public QMainWindow {
    Q_OBJECT
public:
    // The program folder is the executable's; tests give another.
    explicit TfrmMainGZT(TDM& dm, const QString& programFolder = QString(), QWidget* parent = nullptr);
    ~TfrmMainGZT() override;

    void FormCreate();
    // Runs its work on the first activation only: login, first-run help.
    void FormActivate();
    void ReadyPara();
    void StructUpdate();
    void LoadRegPara();
    void SetFloatFormat();
    void ReadyMonth();
    // Gives newMonth a copy of sourceMonth's item set; false after its message.
    bool AddBaseGZSet(const QString& newMonth, const QString& sourceMonth);
    // The GZMonth of the current row of the month list; empty when the list is empty.
    QString CurrentMonth() const;
    // Sets the sheet's columns for the month and loads its rows; false when loading failed.
    bool ReadyGZList(const QString& month);
    // Sets the item column titles and visibility from the month's item set.
    void ReadyGrid(const QString& month);

    // Tool bar and menu handlers.
    void ToolButton1Click();
    void ToolButton21Click();
    void ToolButton8Click();
    void ToolButton11Click();
    void ToolButton2Click();
    void ToolButton7Click();
    void ToolButton5Click();
    void Excel1Click();
    void TBDatabaseClick();
    void TBHelpClick();
    void N13Click();
    void N15Click();
    // Maintenance menu: backup, restore, clearing.
    void MenuItem1Click();
    void MenuItem2Click();
    void N2Click();
    // Month list and pay sheet handlers.
    void dsGZMonthAfterScroll();
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Button5Click();
    void Button6Click();
    void Button7Click();
    void Button8Click();
    void Button14Click();
    void Button13Click();
    void Button9Click();
    void Button10Click();
    void gridDetailTitleClick(int column);

    // The amount format SetFloatFormat last applied ("0" until then).
    QString amountFormat() const { return m_amountFormat; }
    // True once the program was told to end (wrong login password).
    bool endRequested() const { return m_endRequested; }
    // The sort direction flag: true when the last title click sorted ascending.
    bool sortAscending() const { return m_sortAscending; }

    // Tool bar, row 1 then row 2.
    QToolButton* ToolButton15;
    QToolButton* ToolButton21;
    QToolButton* ToolButton1;
    QToolButton* ToolButton8;
    QToolButton* ToolButton5;
    QToolButton* ToolButton7;
    QToolButton* TBDatabase;
    QToolButton* ToolButton11;
    QToolButton* TBHelp;
    QToolButton* ToolButton2;
    QMenu* PopupMenu1; // help
    QMenu* PopupMenu2; // maintenance
    QAction* N13;
    QAction* N15;
    QAction* MenuItem1;
    QAction* MenuItem2;
    QAction* N2;
    QMenu* PopupMenuGrid;
    QAction* Excel1;

    QGroupBox* GroupBoxMonth;
    grid::DBGrid* gridMonth;
    QPushButton* Button1; // add month
    QPushButton* Button2; // rename month
    QPushButton* Button3; // delete month
    QGroupBox* GroupBoxDetail;
    grid::DBGrid* gridDetail;
    QPushButton* Button4;  // add row
    QPushButton* Button5;  // edit row
    QPushButton* Button6;  // delete row
    QPushButton* Button7;  // print the pay sheet
    QPushButton* Button8;  // print payslip strips
    QPushButton* Button14; // POS payslips
    QPushButton* Button9;  // copy a month's data
    QPushButton* Button10; // copy an employee's row
    QPushButton* Button13; // electronic payslips

    report::Project RvProject1; // the strip template of the last print
    db::RecordSet dsGZMonth;
    db::RecordSet dsGZDetail;

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildToolBar();
    void buildMonthPanel(QWidget* parent);
    void buildSheetPanel(QWidget* parent);
    QToolButton* addToolButton(QToolBar* bar, const char* name, const QString& caption, int icon);
    void selectMonthRow(int row);
    qint64 currentMonthId() const;
    void showEmptySheet();
    // Opens the entry dialog for a row (-1: a new one) and shows the stored row.
    void editPayRow(qint64 id);
    void showFirstRunHelp();
    void endProgram();

    TDM& m_dm;
    QString m_programFolder;
    bool m_activated = false;
    bool m_endRequested = false;
    bool m_sortAscending = false;
    qint64 m_shownMonthId = -2; // the month whose sheet is loaded; -1: none
    QString m_amountFormat = QStringLiteral("0");
};

// The product name after the brand word in every title.
inline const QString kProductName = QStringLiteral("工资条制作打印软件");
inline const QString kDefaultBrand = QStringLiteral("鹪鹩");
inline const QString kFirstRunMessage =
    QStringLiteral("您是首次运行本软件，点击确认按钮然后查看软件使用动画说明！");
