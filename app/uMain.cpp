#include "app/uMain.h"
#include "app/About.h"

#include "common/Clock.h"
#include "payitems/GZSet.h"
#include "paysheet/PayCopy.h"
#include "paysheet/PayMonths.h"
#include "paysheet/PaySheet.h"
#include "common/IniFile.h"
#include "data/Schema.h"
#include "common/StartValues.h"
#include "common/Text.h"
#include "common/uCommon.h"
#include "data/uDM.h"
#include "payitems/uGZBaseSet.h"
#include "entry/uGZDetailEdit.h"
#include "maintenance/Backup.h"
#include "maintenance/Restore.h"
#include "maintenance/uReBulid.h"
#include "paysheet/ShownSheet.h"
#include "printing/PosText.h"
#include "printing/Strips.h"
#include "platform/report/ReportUi.h"
#include "printing/Preview.h"
#include "printing/uPOSPrint.h"
#include "spreadsheet/Export.h"
#include "spreadsheet/uEleGZBill.h"
#include "spreadsheet/uExcelLoadIn.h"
#include "payitems/TemplateChoice.h"
#include "paysheet/uSelectHisMonth.h"
#include "settings/uParaSet.h"
#include "settings/uPassInput.h"
#include "settings/uPassSet.h"
#include "platform/grid/DBGrid.h"
#include "platform/ui/Ui.h"

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QSaveFile>
#include <QSplitter>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString kMakerName = QStringLiteral("鹪鹩软件工作室");
const QString kHomePage = QStringLiteral("https://www.slipdesk.example/");
const QString kFirstRunMarker = QStringLiteral("NotFirst.txt");
const QString kHelpPage = QStringLiteral("Help/WrenGZ.htm");
const QString kUpdater = QStringLiteral("SlipRenew");
const QString kSaveError = QStringLiteral("保存数据发生错误！");
const QString kAddMonthFirst = QStringLiteral("请首先增加月度！");
const QString kCopyFailed = QStringLiteral("复制数据失败！");
const QString kDeleteError = QStringLiteral("删除数据发生错误！");

QPushButton* panelButton(const char* name, const QString& caption, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

} // namespace

TfrmMainGZT::TfrmMainGZT(TDM& dm, const QString& programFolder, QWidget* parent)
    : QMainWindow(parent),
      dsGZMonth(dm.ADOLocal, this),
      dsGZDetail(dm.ADOLocal, this),
      m_dm(dm),
      m_programFolder(programFolder.isEmpty() ? ExecutableFolder() : programFolder)
{
    setObjectName(QStringLiteral("frmMainGZT"));
    dsGZDetail.setLockType(db::LockType::BatchOptimistic);
    buildToolBar();
    auto* central = new QWidget(this);
    auto* layout = new QHBoxLayout(central);
    layout->setContentsMargins(4, 4, 4, 4);
    buildMonthPanel(central);
    buildSheetPanel(central);
    layout->addWidget(GroupBoxMonth);
    layout->addWidget(GroupBoxDetail, 1);
    setCentralWidget(central);
    FormCreate();
}

TfrmMainGZT::~TfrmMainGZT() = default;

QToolButton* TfrmMainGZT::addToolButton(QToolBar* bar, const char* name, const QString& caption, int icon)
{
    auto* b = new QToolButton(bar);
    b->setObjectName(QString::fromLatin1(name));
    b->setText(caption);
    b->setIcon(style()->standardIcon(QStyle::StandardPixmap(icon)));
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setAutoRaise(true);
    bar->addWidget(b);
    return b;
}

void TfrmMainGZT::buildToolBar()
{
    auto* row1 = new QToolBar(QStringLiteral("ToolBar1"), this);
    row1->setMovable(false);
    row1->setIconSize(QSize(24, 24));
    addToolBar(Qt::TopToolBarArea, row1);
    addToolBarBreak();
    auto* row2 = new QToolBar(QStringLiteral("ToolBar2"), this);
    row2->setMovable(false);
    row2->setIconSize(QSize(24, 24));
    addToolBar(Qt::TopToolBarArea, row2);

    ToolButton15 = addToolButton(row1, "ToolButton15", QStringLiteral("工资编辑与打印"), QStyle::SP_FileDialogDetailedView);
    ToolButton21 = addToolButton(row1, "ToolButton21", QStringLiteral("工资项目参数设置"), QStyle::SP_FileDialogListView);
    ToolButton1 = addToolButton(row1, "ToolButton1", QStringLiteral("基本参数"), QStyle::SP_FileDialogInfoView);
    ToolButton8 = addToolButton(row1, "ToolButton8", QStringLiteral("设置登陆密码"), QStyle::SP_DialogApplyButton);
    row1->addSeparator();
    ToolButton5 = addToolButton(row1, "ToolButton5", QStringLiteral("发送Excel"), QStyle::SP_ArrowForward);
    ToolButton7 = addToolButton(row1, "ToolButton7", QStringLiteral("从Excel导入"), QStyle::SP_ArrowBack);

    TBDatabase = addToolButton(row2, "TBDatabase", QStringLiteral("数据库维护"), QStyle::SP_DriveHDIcon);
    row2->addSeparator();
    ToolButton11 = addToolButton(row2, "ToolButton11", QStringLiteral("在线升级"), QStyle::SP_BrowserReload);
    TBHelp = addToolButton(row2, "TBHelp", QStringLiteral("帮助"), QStyle::SP_DialogHelpButton);
    row2->addSeparator();
    ToolButton2 = addToolButton(row2, "ToolButton2", QStringLiteral("关闭"), QStyle::SP_DialogCloseButton);

    PopupMenu2 = new QMenu(this);
    PopupMenu2->setObjectName(QStringLiteral("PopupMenu2"));
    MenuItem1 = PopupMenu2->addAction(QStringLiteral("数据库备份"));
    MenuItem2 = PopupMenu2->addAction(QStringLiteral("数据库还原"));
    PopupMenu2->addSeparator();
    N2 = PopupMenu2->addAction(QStringLiteral("数据清除"));

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    N13 = PopupMenu1->addAction(QStringLiteral("动画教程"));
    PopupMenu1->addSeparator();
    N15 = PopupMenu1->addAction(QStringLiteral("关于.."));



    connect(ToolButton1, &QToolButton::clicked, this, &TfrmMainGZT::ToolButton1Click);
    connect(ToolButton21, &QToolButton::clicked, this, &TfrmMainGZT::ToolButton21Click);
    connect(ToolButton8, &QToolButton::clicked, this, &TfrmMainGZT::ToolButton8Click);
    connect(ToolButton11, &QToolButton::clicked, this, &TfrmMainGZT::ToolButton11Click);
    connect(ToolButton2, &QToolButton::clicked, this, &TfrmMainGZT::ToolButton2Click);
    connect(TBDatabase, &QToolButton::clicked, this, &TfrmMainGZT::TBDatabaseClick);
    connect(TBHelp, &QToolButton::clicked, this, &TfrmMainGZT::TBHelpClick);
    connect(N13, &QAction::triggered, this, &TfrmMainGZT::N13Click);
    connect(N15, &QAction::triggered, this, &TfrmMainGZT::N15Click);
    connect(ToolButton5, &QToolButton::clicked, this, &TfrmMainGZT::ToolButton5Click);
    connect(ToolButton7, &QToolButton::clicked, this, &TfrmMainGZT::ToolButton7Click);
    connect(MenuItem1, &QAction::triggered, this, &TfrmMainGZT::MenuItem1Click);
    connect(MenuItem2, &QAction::triggered, this, &TfrmMainGZT::MenuItem2Click);
    connect(N2, &QAction::triggered, this, &TfrmMainGZT::N2Click);
}

void TfrmMainGZT::buildMonthPanel(QWidget* parent)
{
    GroupBoxMonth = new QGroupBox(QStringLiteral("工资发放月度"), parent);
    GroupBoxMonth->setFixedWidth(175);
    auto* monthLayout = new QVBoxLayout(GroupBoxMonth);
    gridMonth = new grid::DBGrid(GroupBoxMonth);
    gridMonth->setObjectName(QStringLiteral("gridMonth"));
    grid::Column id(QStringLiteral("ID"), QStringLiteral("编号"));
    id.width = 40;
    id.alignment = Qt::AlignCenter;
    grid::Column name(QStringLiteral("GZMonth"), QStringLiteral("发放月度"));
    name.width = 100;
    gridMonth->setColumns({id, name});
    gridMonth->setFooterVisible(false);
    gridMonth->view()->setSelectionMode(QAbstractItemView::SingleSelection);
    gridMonth->view()->horizontalHeader()->setStretchLastSection(true);
    gridMonth->setRecordSet(&dsGZMonth);
    connect(&dsGZMonth, &db::RecordSet::currentChanged, this, &TfrmMainGZT::dsGZMonthAfterScroll);
    gridMonth->setContextMenuPolicy(Qt::CustomContextMenu);
    gridMonth->view()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(gridMonth->view(), &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { PopupMenu1->popup(gridMonth->view()->viewport()->mapToGlobal(p)); });
    monthLayout->addWidget(gridMonth);
    auto* monthButtons = new QHBoxLayout;
    monthButtons->setSpacing(2);
    Button1 = panelButton("Button1", QStringLiteral("增加月度"), GroupBoxMonth);
    Button2 = panelButton("Button2", QStringLiteral("修改"), GroupBoxMonth);
    Button3 = panelButton("Button3", QStringLiteral("删除"), GroupBoxMonth);
    for (QPushButton* b : {Button1, Button2, Button3}) {
        b->setStyleSheet(QStringLiteral("padding: 3px 4px;")); // three fit in the narrow panel
        b->setMinimumWidth(0);
        monthButtons->addWidget(b, b == Button1 ? 4 : 3);
    }
    connect(Button1, &QPushButton::clicked, this, &TfrmMainGZT::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TfrmMainGZT::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TfrmMainGZT::Button3Click);
    monthLayout->addLayout(monthButtons);
}

void TfrmMainGZT::buildSheetPanel(QWidget* parent)
{
    GroupBoxDetail = new QGroupBox(paysheet::kInitialCaption, parent);
    auto* detailLayout = new QVBoxLayout(GroupBoxDetail);
    dsGZDetail.addCalculatedField(QStringLiteral("SortIdx"), db::FieldType::Integer,
                                  [](const db::RecordSet&, int row) { return QVariant(row + 1); });
    gridDetail = new grid::DBGrid(GroupBoxDetail);
    gridDetail->setObjectName(QStringLiteral("gridDetail"));
    gridDetail->setColumns(paysheet::SheetColumns());
    gridDetail->setRecordSet(&dsGZDetail);
    connect(gridDetail, &grid::DBGrid::titleClicked, this, &TfrmMainGZT::gridDetailTitleClick);
    connect(gridDetail, &grid::DBGrid::enterPressed, this, &TfrmMainGZT::Button5Click);
    connect(gridDetail, &grid::DBGrid::rowDoubleClicked, this, &TfrmMainGZT::Button5Click);
    PopupMenuGrid = new QMenu(this);
    Excel1 = PopupMenuGrid->addAction(QStringLiteral("发送到&Excel"));
    connect(Excel1, &QAction::triggered, this, &TfrmMainGZT::Excel1Click);
    gridDetail->view()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(gridDetail->view(), &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { PopupMenuGrid->popup(gridDetail->view()->viewport()->mapToGlobal(p)); });
    detailLayout->addWidget(gridDetail);
    auto* detailButtons = new QHBoxLayout;
    Button4 = panelButton("Button4", QStringLiteral("增加明细"), GroupBoxDetail);
    Button5 = panelButton("Button5", QStringLiteral("修改明细"), GroupBoxDetail);
    Button6 = panelButton("Button6", QStringLiteral("删除明细"), GroupBoxDetail);
    Button7 = panelButton("Button7", QStringLiteral("打印明细表"), GroupBoxDetail);
    Button8 = panelButton("Button8", QStringLiteral("打印工资条"), GroupBoxDetail);
    Button14 = panelButton("Button14", QStringLiteral("POS工资条"), GroupBoxDetail);
    Button9 = panelButton("Button9", QStringLiteral("月度数据复制"), GroupBoxDetail);
    Button10 = panelButton("Button10", QStringLiteral("职员数据复制"), GroupBoxDetail);
    Button13 = panelButton("Button13", QStringLiteral("生成电子工资条"), GroupBoxDetail);
    for (QPushButton* b : {Button4, Button5, Button6, Button7, Button8, Button14, Button9, Button10, Button13})
        detailButtons->addWidget(b);
    // Features that arrive later stay visible but disabled until then.
    connect(Button8, &QPushButton::clicked, this, &TfrmMainGZT::Button8Click);
    connect(Button13, &QPushButton::clicked, this, &TfrmMainGZT::Button13Click);
    connect(Button7, &QPushButton::clicked, this, &TfrmMainGZT::Button7Click);
    connect(Button14, &QPushButton::clicked, this, &TfrmMainGZT::Button14Click);
    connect(Button4, &QPushButton::clicked, this, &TfrmMainGZT::Button4Click);
    connect(Button5, &QPushButton::clicked, this, &TfrmMainGZT::Button5Click);
    connect(Button6, &QPushButton::clicked, this, &TfrmMainGZT::Button6Click);
    connect(Button9, &QPushButton::clicked, this, &TfrmMainGZT::Button9Click);
    connect(Button10, &QPushButton::clicked, this, &TfrmMainGZT::Button10Click);
    detailButtons->addStretch();
    detailLayout->addLayout(detailButtons);
}

void TfrmMainGZT::FormCreate()
{
    startValues().programFolder = m_programFolder;
    ReadyPara();
    const QString title = startValues().brand + kProductName;
    setWindowTitle(title);
    ui::SetApplicationTitle(title);
    startValues().loginPassword.clear();
    StructUpdate();
    ReadyMonth();
    LoadRegPara();
    // The first sheet was prepared before the parameters were read: its day columns
    // follow the stored setting now, not the start value.
    paysheet::ApplyDayColumns(*gridDetail, startValues().printDays);
    m_activated = false;
}

void TfrmMainGZT::ReadyPara()
{
    const IniFile ini(ProgramPath(QStringLiteral("IIS.INI")));
    const QString section = QStringLiteral("Last");
    StartValues& sv = startValues();
    sv.makerName = ini.value(section, QStringLiteral("EntName"), kMakerName);
    sv.homePage = ini.value(section, QStringLiteral("HomePage"), kHomePage);
    sv.brand = ini.value(section, QStringLiteral("Brand"), kDefaultBrand);
}

void TfrmMainGZT::StructUpdate()
{
    // A template that cannot be upgraded stays as it is; start-up goes on unasked.
    ui::Quietly([this] { schema::StructUpdate(m_dm.ADOLocal); });
}

void TfrmMainGZT::LoadRegPara()
{
    db::RecordSet& para = m_dm.dsPara;
    StartValues& sv = startValues();
    bool found = false;
    // Unreadable parameters keep the start-up values, and the formats stay as designed.
    const bool read = ui::Quietly([&] {
        para.close();
        para.open();
        found = !para.eof();
        if (!found)
            return;
        sv.printDays = int(para.fieldByName(QStringLiteral("PrintDays")).asInteger());
        sv.showFloat = int(para.fieldByName(QStringLiteral("ShowFloat")).asInteger());
        sv.companyName = para.fieldByName(QStringLiteral("EntName")).asString();
        sv.loginPassword = para.fieldByName(QStringLiteral("LogPass")).asString();
    });
    if (!read || !found)
        return;
    if (sv.loginPassword == schema::kInitialPassword)
        sv.loginPassword.clear();
    SetFloatFormat();
}

void TfrmMainGZT::SetFloatFormat()
{
    m_amountFormat = AmountFormatFor(startValues().showFloat);
    for (int c = 0; c < gridDetail->columnCount(); ++c) {
        if (!paysheet::IsAmountColumn(gridDetail->column(c).fieldName))
            continue;
        gridDetail->setColumnFormat(c, m_amountFormat);
        gridDetail->setFooterFormat(c, m_amountFormat);
    }
    // Every floating-point field of the sheet, days and rate too; their columns keep
    // their own formats.
    for (const QString& f : paysheet::FloatFields())
        dsGZDetail.setDisplayFormat(f, m_amountFormat);
}

void TfrmMainGZT::ReadyMonth()
{
    // A list that cannot be read stays empty.
    ui::Quietly([this] { paysheet::OpenMonthList(dsGZMonth); });
    dsGZMonthAfterScroll();
}

QString TfrmMainGZT::CurrentMonth() const
{
    if (!dsGZMonth.isOpen() || dsGZMonth.eof())
        return QString();
    return dsGZMonth.valueAt(dsGZMonth.recNo() - 1, dsGZMonth.fieldIndex(QStringLiteral("GZMonth"))).toString();
}

qint64 TfrmMainGZT::currentMonthId() const
{
    if (!dsGZMonth.isOpen() || dsGZMonth.eof())
        return -1;
    return dsGZMonth.valueAt(dsGZMonth.recNo() - 1, dsGZMonth.fieldIndex(QStringLiteral("ID"))).toLongLong();
}

void TfrmMainGZT::selectMonthRow(int row)
{
    if (dsGZMonth.isOpen() && !dsGZMonth.isEmpty())
        dsGZMonth.setRecNo(std::clamp(row, 0, dsGZMonth.recordCount() - 1) + 1);
}

void TfrmMainGZT::dsGZMonthAfterScroll()
{
    const qint64 id = currentMonthId();
    if (id == m_shownMonthId)
        return;
    m_shownMonthId = id;
    if (id < 0)
        showEmptySheet();
    else
        ReadyGZList(CurrentMonth());
}

void TfrmMainGZT::showEmptySheet()
{
    dsGZDetail.close();
    GroupBoxDetail->setTitle(paysheet::kInitialCaption);
}

bool TfrmMainGZT::ReadyGZList(const QString& month)
{
    ReadyGrid(month);
    dsGZDetail.close();
    // Rows that cannot be read leave the sheet empty; the caller learns it from the result.
    if (!ui::Quietly([&] { paysheet::OpenSheetRows(dsGZDetail, month); }))
        return false;
    for (int c = 0; c < gridDetail->columnCount(); ++c)
        gridDetail->setSortMarker(c, grid::SortMarker::None);
    GroupBoxDetail->setTitle(paysheet::SheetCaption(month));
    return true;
}

void TfrmMainGZT::ReadyGrid(const QString& month)
{
    const bool read = ui::RunStep(kReadDbError, [&] {
        paysheet::ApplyItemTitles(*gridDetail, paysheet::ReadItemTitles(m_dm.ADOLocal, month));
    });
    if (read)
        paysheet::ApplyDayColumns(*gridDetail, startValues().printDays);
}

void TfrmMainGZT::FormActivate()
{
    if (m_activated)
        return;
    m_activated = true;
    const bool sheetWasOpen = dsGZDetail.isOpen();
    dsGZDetail.close(); // no pay data behind the login prompt
    if (!CheckLoginPassword(kLoginPrompt)) {
        endProgram();
        return;
    }
    // A sheet that cannot be opened again stays empty; the next change of month loads it.
    if (sheetWasOpen)
        ui::Quietly([this] { dsGZDetail.open(); });
    showFirstRunHelp();
}

void TfrmMainGZT::showFirstRunHelp()
{
    const QString marker = ProgramPath(kFirstRunMarker);
    if (QFile::exists(marker))
        return;
    ui::ShowMessage(kFirstRunMessage);
    N13Click();
    QSaveFile f(marker);
    const QString layout = QStringLiteral("[gridMonth]\r\n编号=%1\r\n发放月度=%2\r\n")
                               .arg(gridMonth->columnWidth(0)).arg(gridMonth->columnWidth(1));
    if (!f.open(QIODevice::WriteOnly) || f.write(ToGbk(layout)) < 0 || !f.commit())
        ui::ShowError(QStringLiteral("无法创建文件“%1”：%2").arg(marker, f.errorString()));
}

void TfrmMainGZT::endProgram()
{
    m_endRequested = true;
    m_dm.ADOLocal.close();
    QTimer::singleShot(0, this, &QWidget::close);
    QCoreApplication::exit(0);
}

void TfrmMainGZT::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !m_activated)
        QTimer::singleShot(0, this, &TfrmMainGZT::FormActivate);
}

void TfrmMainGZT::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // Without a window manager a window may never become active: the first show counts.
    if (!m_activated)
        QTimer::singleShot(0, this, &TfrmMainGZT::FormActivate);
}

void TfrmMainGZT::ToolButton1Click()
{
    ShowParaSet(m_dm, this);
    LoadRegPara(); // saved or not: the stored row is in force
}

void TfrmMainGZT::ToolButton8Click()
{
    ShowPassSet(m_dm, this);
}

void TfrmMainGZT::ToolButton21Click()
{
    const QString month = CurrentMonth();
    ShowGZBaseSet(m_dm, month.isEmpty() ? schema::kTemplateMonth : month, this);
    // Saved or not, the sheet shows the item set as stored now.
    if (month.isEmpty())
        ReadyGrid(schema::kTemplateMonth);
    else
        ReadyGZList(month);
}

bool TfrmMainGZT::AddBaseGZSet(const QString& newMonth, const QString& sourceMonth)
{
    return ui::RunStep(kCopyItemSetFailed, [&] { CopyItemSet(m_dm.ADOLocal, newMonth, sourceMonth); });
}

void TfrmMainGZT::ToolButton11Click()
{
    if (!RunFile(ProgramPath(kUpdater), QString()))
        ui::ShowError(CannotOpenMessage(ProgramPath(kUpdater)));
}

void TfrmMainGZT::ToolButton2Click()
{
    close();
}

void TfrmMainGZT::TBDatabaseClick()
{
    PopupMenu2->popup(TBDatabase->mapToGlobal(QPoint(0, TBDatabase->height())));
}

void TfrmMainGZT::TBHelpClick()
{
    PopupMenu1->popup(TBHelp->mapToGlobal(QPoint(0, TBHelp->height())));
}

void TfrmMainGZT::N13Click()
{
    if (!OpenInBrowser(ProgramPath(kHelpPage)))
        ui::ShowError(CannotOpenMessage(ProgramPath(kHelpPage)));
}

void TfrmMainGZT::N15Click()
{
    ShowAbout(this);
}

void TfrmMainGZT::ToolButton5Click()
{
    Excel1Click();
}

void TfrmMainGZT::Excel1Click()
{
    gridDetail->setEnabled(false);
    // The export tells the operator of its own failures; a failure while writing cells
    // ends it without a word, as the spreadsheet program would leave it.
    ui::Quietly([this] { SendGridToExcel(windowTitle(), paysheet::ReadShownSheet(*gridDetail)); });
    gridDetail->setEnabled(true);
}

void TfrmMainGZT::ToolButton7Click()
{
    const QString month = CurrentMonth();
    if (month.isEmpty()) {
        ui::ShowError(QStringLiteral("请首先建立/选择工资发放月度！"));
        return;
    }
    ShowExcelLoadIn(m_dm, month, spreadsheet::ImportFieldList(paysheet::ReadShownSheet(*gridDetail)), this);
    ReadyGZList(month); // imported or not
}

void TfrmMainGZT::MenuItem1Click()
{
    const QString path = ui::current().saveFileName(
        QStringLiteral(" 存储工资条数据库"), maintenance::ProposedBackupPath(m_programFolder, Clock::now().date()),
        maintenance::kBackupFilter);
    if (path.isEmpty())
        return;
    if (ui::RunStep(QStringLiteral("备份文件发生错误，确认目标位置可写入！"),
                    [&] { maintenance::BackupDatabaseFolder(m_dm.ADOLocal, m_programFolder, path); }))
        ui::ShowMessage(QStringLiteral("数据文件备份成功！"));
}

void TfrmMainGZT::MenuItem2Click()
{
    if (!CheckLoginPassword(kManagePrompt))
        return;
    const QString path = ui::current().openFileName(QStringLiteral("选择工资条数据备份文件"),
                                                    maintenance::BackupFolder(m_programFolder), maintenance::kRestoreFilter);
    if (path.isEmpty())
        return;
    if (ui::RunStep(QStringLiteral("数据文件还原失败，确认选择的文件是本系统自动升级文件，或该自动升级文件已损坏！\n"
                                   "软件将关闭，请手工重新启动系统。"),
                    [&] { maintenance::RestoreDatabaseFolder(m_dm.ADOLocal, m_programFolder, path, Clock::now()); }))
        ui::ShowMessage(QStringLiteral("还原数据成功，软件将关闭，请手工重新启动系统。"));
    endProgram(); // the data on disk may have changed: the next start reads it afresh
}

void TfrmMainGZT::N2Click()
{
    if (!CheckLoginPassword(kManagePrompt))
        return;
    if (ShowReBulid(m_dm.ADOLocal, m_programFolder, this)) {
        endProgram();
        return;
    }
    ReadyMonth();
}

void TfrmMainGZT::Button1Click()
{
    const QString proposed = Clock::now().toString(QStringLiteral("yyyyMM"));
    const auto answer = ui::current().inputText(QStringLiteral("请输入新的工资发放月度"),
                                                QStringLiteral("请输入新的工资发放月度："), proposed);
    if (!answer || answer->isEmpty())
        return;
    const QString name = *answer;
    // BASE names the template items and is never a month.
    if (paysheet::MonthNameTaken(m_dm, name)) {
        ui::ShowError(QStringLiteral("名称为[") + name + QStringLiteral("]的月度已经存在！"));
        return;
    }
    if (!ui::RunStep(kSaveError, [&] { paysheet::InsertMonth(m_dm.ADOLocal, name); }))
        return;
    AddBaseGZSet(name, schema::kTemplateMonth);
    ReadyMonth(); // the new month is the newest: at the top, and current
}

void TfrmMainGZT::Button2Click()
{
    if (!dsGZMonth.isOpen() || dsGZMonth.isEmpty())
        return;
    const QString oldName = CurrentMonth();
    const qint64 id = currentMonthId();
    const auto answer = ui::current().inputText(QStringLiteral("请输入新的工资发放月度名称"),
                                                QStringLiteral("请输入新的工资发放月度名称："), oldName);
    if (!answer || answer->isEmpty())
        return;
    const QString name = *answer;
    if (paysheet::MonthNameTaken(m_dm, name, id)) {
        ui::ShowError(QStringLiteral("名称为：") + name + QStringLiteral("的月度已经存在！"));
        return;
    }
    if (!ui::RunStep(kSaveError, [&] { paysheet::RenameMonth(m_dm.ADOLocal, id, oldName, name); }))
        return;
    const int row = dsGZMonth.recNo() - 1;
    ReadyMonth();
    selectMonthRow(row);
    ReadyGZList(CurrentMonth());
}

void TfrmMainGZT::Button3Click()
{
    if (!dsGZMonth.isOpen() || dsGZMonth.isEmpty())
        return;
    if (!ui::current().question(QStringLiteral("您确认删除选定月度的数据吗？相应的工资发放明细也将一并删除！")))
        return;
    const int row = dsGZMonth.recNo() - 1;
    if (!ui::RunStep(kDeleteError, [&] { paysheet::DeleteMonth(m_dm.ADOLocal, currentMonthId(), CurrentMonth()); }))
        return;
    ReadyMonth();
    selectMonthRow(row); // the next month takes the deleted one's place
}

void TfrmMainGZT::Button4Click()
{
    editPayRow(-1);
}

void TfrmMainGZT::Button5Click()
{
    // On an empty sheet the dialog starts a new row.
    editPayRow(dsGZDetail.isOpen() && !dsGZDetail.eof() ? dsGZDetail.fieldByName(QStringLiteral("ID")).asInteger() : 0);
}

void TfrmMainGZT::editPayRow(qint64 id)
{
    if (CurrentMonth().isEmpty()) {
        ui::ShowError(kAddMonthFirst);
        return;
    }
    qint64 saved = -1;
    if (!ShowGZDetailEdit(m_dm, id, CurrentMonth(), this, &saved))
        return;
    ReadyGZList(CurrentMonth());
    // The row just stored is the current one of the reloaded sheet.
    if (dsGZDetail.isOpen())
        dsGZDetail.locate(QStringLiteral("ID"), saved, false);
}

void TfrmMainGZT::Button9Click()
{
    const QString target = CurrentMonth();
    if (target.isEmpty()) {
        ui::ShowError(QStringLiteral("请首先增加新的工资发放月度作为数据复制的目的月度！"));
        return;
    }
    if (dsGZDetail.isOpen() && !dsGZDetail.isEmpty()
        && !ui::current().question(QStringLiteral("月度数据复制应针对新的月度！您确认继续复制吗？\n"
                                                  "选定月度下已经有数据，可能会造成数据重复！")))
        return;
    QString source;
    if (!SelectHisMonth(m_dm, source, this))
        return;
    if (ui::RunStep(kCopyFailed, [&] { paysheet::CopyMonthData(m_dm.ADOLocal, source, target, Clock::now()); }))
        ReadyGZList(target);
}

void TfrmMainGZT::Button10Click()
{
    if (!dsGZDetail.isOpen() || dsGZDetail.isEmpty() || dsGZDetail.eof()) {
        ui::ShowError(QStringLiteral("没有可复制的职员工资数据记录！"));
        return;
    }
    if (!ui::current().question(QStringLiteral("您确认复制选定的工资记录为新记录吗？")))
        return;
    if (ui::RunStep(kCopyFailed, [this] { paysheet::CopyPayRow(m_dm.ADOLocal, dsGZDetail, Clock::now()); }))
        ReadyGZList(CurrentMonth());
}

void TfrmMainGZT::Button6Click()
{
    if (!dsGZDetail.isOpen() || dsGZDetail.isEmpty())
        return;
    if (!ui::current().question(QStringLiteral("您确认删除选定的工资记录吗？")))
        return;
    if (!ui::RunStep(kDeleteError, [this] { paysheet::DeleteCurrentRow(dsGZDetail); }))
        return;
}

void TfrmMainGZT::Button7Click()
{
    PreviewGrid(GroupBoxDetail->title(), paysheet::ReadShownSheet(*gridDetail), this);
}

void TfrmMainGZT::Button8Click()
{
    try {
        printing::PrepareStrips(RvProject1, m_dm, m_programFolder, CurrentMonth());
        const report::TableSource sheet = printing::SheetSource(paysheet::ReadShownSheet(*gridDetail), m_amountFormat);
        const report::TableSource para = printing::ParameterSource(m_dm);
        report::Execute(RvProject1, {{{printing::kSheetSourceName, &sheet}, {printing::kParameterSourceName, &para}}}, this);
    } catch (const db::DbError&) {
        ui::ShowError(kReadDbError);
    } catch (const slip::Error& e) {
        ui::ShowError(e.message()); // the report engine's own words: a missing or damaged template
    }
}

void TfrmMainGZT::Button14Click()
{
    if (!dsGZDetail.isOpen()) {
        ui::ShowError(QStringLiteral("没有用于打印的工资数据！"));
        return;
    }
    const QStringList lines = printing::BuildPosLines(paysheet::ReadShownSheet(*gridDetail), startValues().showFloat);
    const QString file = m_programFolder + printing::kPosFile;
    if (!ui::RunStep(QStringLiteral("无法写入文件“%1”！").arg(file), [&] { printing::WritePosFile(file, lines); }))
        return;
    ShowPosPrint(m_programFolder, this);
}

void TfrmMainGZT::Button13Click()
{
    const QString month = CurrentMonth();
    if (month.isEmpty()) {
        ui::ShowError(QStringLiteral("请首先建立/选择工资发放月度！"));
        return;
    }
    payitems::TemplateChoice choice;
    if (!ui::RunStep(kReadDbError, [&] { choice = payitems::ChooseMonthTemplate(m_dm.ADOLocal, month, startValues().printDays); }))
        return;
    ShowEleGZBill(m_dm, month, m_programFolder + QStringLiteral("RPT/") + choice.stem + QStringLiteral(".xls"), this);
}

void TfrmMainGZT::gridDetailTitleClick(int column)
{
    const QString field = gridDetail->column(column).fieldName;
    // The row number is no stored field: its title does not sort.
    if (!dsGZDetail.isOpen() || field.compare(QLatin1String("SortIdx"), Qt::CaseInsensitive) == 0)
        return;
    m_sortAscending = !m_sortAscending;
    dsGZDetail.sort(field, m_sortAscending);
    for (int c = 0; c < gridDetail->columnCount(); ++c)
        gridDetail->setSortMarker(c, grid::SortMarker::None);
    gridDetail->setSortMarker(column, m_sortAscending ? grid::SortMarker::Down : grid::SortMarker::Up);
}
