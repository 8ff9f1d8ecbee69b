#include "uMain.h"
#include "About.h"

#include <IniFile.h>
#include <Schema.h>
#include <StartValues.h>
#include <Text.h>
#include <uCommon.h>
#include <uDM.h>
#include <ui/Ui.h>

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
#include <QTableView>
#include <QTableWidget>
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
      dsTmp(dm.ADOLocal, this),
      dsTmp1(dm.ADOLocal, this),
      dsTMp2(dm.ADOLocal, this),
      ADOCommand1(dm.ADOLocal),
      m_dm(dm),
      m_programFolder(programFolder.isEmpty() ? ExecutableFolder() : programFolder)
{
    setObjectName(QStringLiteral("frmMainGZT"));
    dsGZDetail.setLockType(db::LockType::BatchOptimistic);
    dsTmp.setLockType(db::LockType::BatchOptimistic);
    dsTmp1.setLockType(db::LockType::BatchOptimistic);
    buildToolBar();
    buildPanels();
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

    // Features that arrive later stay visible but disabled until then.
    for (QWidget* w : {static_cast<QWidget*>(ToolButton21), static_cast<QWidget*>(ToolButton1),
                       static_cast<QWidget*>(ToolButton8), static_cast<QWidget*>(ToolButton5),
                       static_cast<QWidget*>(ToolButton7)})
        w->setEnabled(false);
    for (QAction* a : {MenuItem1, MenuItem2, N2})
        a->setEnabled(false);

    connect(ToolButton1, &QToolButton::clicked, this, &TfrmMainGZT::ToolButton1Click);
    connect(ToolButton8, &QToolButton::clicked, this, &TfrmMainGZT::ToolButton8Click);
    connect(ToolButton11, &QToolButton::clicked, this, &TfrmMainGZT::ToolButton11Click);
    connect(ToolButton2, &QToolButton::clicked, this, &TfrmMainGZT::ToolButton2Click);
    connect(TBDatabase, &QToolButton::clicked, this, &TfrmMainGZT::TBDatabaseClick);
    connect(TBHelp, &QToolButton::clicked, this, &TfrmMainGZT::TBHelpClick);
    connect(N13, &QAction::triggered, this, &TfrmMainGZT::N13Click);
    connect(N15, &QAction::triggered, this, &TfrmMainGZT::N15Click);
}

void TfrmMainGZT::buildPanels()
{
    auto* central = new QWidget(this);
    auto* layout = new QHBoxLayout(central);
    layout->setContentsMargins(4, 4, 4, 4);

    GroupBoxMonth = new QGroupBox(QStringLiteral("工资发放月度"), central);
    GroupBoxMonth->setFixedWidth(175);
    auto* monthLayout = new QVBoxLayout(GroupBoxMonth);
    gridMonth = new QTableWidget(0, 2, GroupBoxMonth);
    gridMonth->setObjectName(QStringLiteral("gridMonth"));
    gridMonth->setHorizontalHeaderLabels({QStringLiteral("编号"), QStringLiteral("发放月度")});
    gridMonth->verticalHeader()->hide();
    gridMonth->horizontalHeader()->setStretchLastSection(true);
    gridMonth->setColumnWidth(0, 40);
    gridMonth->setEditTriggers(QAbstractItemView::NoEditTriggers);
    gridMonth->setSelectionBehavior(QAbstractItemView::SelectRows);
    gridMonth->setSelectionMode(QAbstractItemView::SingleSelection);
    gridMonth->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(gridMonth, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { PopupMenu1->popup(gridMonth->viewport()->mapToGlobal(p)); });
    monthLayout->addWidget(gridMonth);
    auto* monthButtons = new QHBoxLayout;
    Button1 = panelButton("Button1", QStringLiteral("增加月度"), GroupBoxMonth);
    Button2 = panelButton("Button2", QStringLiteral("修改"), GroupBoxMonth);
    Button3 = panelButton("Button3", QStringLiteral("删除"), GroupBoxMonth);
    monthButtons->setSpacing(2);
    for (QPushButton* b : {Button1, Button2, Button3}) {
        b->setEnabled(false);
        b->setStyleSheet(QStringLiteral("padding: 3px 4px;")); // three fit in the narrow panel
        b->setMinimumWidth(0);
        monthButtons->addWidget(b, b == Button1 ? 4 : 3);
    }
    monthLayout->addLayout(monthButtons);
    layout->addWidget(GroupBoxMonth);

    GroupBoxDetail = new QGroupBox(QStringLiteral("月度[XXXX]工资发放明细表"), central);
    auto* detailLayout = new QVBoxLayout(GroupBoxDetail);
    gridDetail = new QTableView(GroupBoxDetail);
    gridDetail->setObjectName(QStringLiteral("gridDetail"));
    gridDetail->setEditTriggers(QAbstractItemView::NoEditTriggers);
    gridDetail->setContextMenuPolicy(Qt::CustomContextMenu);
    PopupMenuGrid = new QMenu(this);
    Excel1 = PopupMenuGrid->addAction(QStringLiteral("发送到&Excel"));
    Excel1->setEnabled(false);
    connect(gridDetail, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { PopupMenuGrid->popup(gridDetail->viewport()->mapToGlobal(p)); });
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
    for (QPushButton* b : {Button4, Button5, Button6, Button7, Button8, Button14, Button9, Button10, Button13}) {
        b->setEnabled(false);
        detailButtons->addWidget(b);
    }
    detailButtons->addStretch();
    detailLayout->addLayout(detailButtons);
    layout->addWidget(GroupBoxDetail, 1);

    setCentralWidget(central);
}

void TfrmMainGZT::FormCreate()
{
    startValues().programFolder = m_programFolder;
    ReadyPara();
    const QString title = startValues().brand + kProductName;
    setWindowTitle(title);
    QGuiApplication::setApplicationDisplayName(title);
    startValues().loginPassword.clear();
    StructUpdate();
    ReadyMonth();
    LoadRegPara();
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
    // Any failure ends the upgrade silently: the template keeps what it has.
    try {
        dsTmp.close();
        dsTmp.setSql(QStringLiteral("Select * from TGZSet where GZMonth='BASE'"));
        dsTmp.open();
        auto addMissing = [this](const QString& prefix, int from, int to, int type) {
            for (int n = from; n <= to; ++n) {
                const QString field = prefix + QString::number(n);
                dsTmp.first();
                if (dsTmp.locate(QStringLiteral("GZField1"), field, true))
                    continue;
                dsTmp.append();
                dsTmp.fieldByName(QStringLiteral("GZField1")).setValue(field);
                dsTmp.fieldByName(QStringLiteral("GZName")).setValue(QStringLiteral("工资项目"));
                dsTmp.fieldByName(QStringLiteral("GZType")).setValue(type);
                dsTmp.fieldByName(QStringLiteral("SortIdx")).setValue(n);
                dsTmp.fieldByName(QStringLiteral("ShowStu")).setValue(1);
                dsTmp.fieldByName(QStringLiteral("GZMonth")).setValue(schema::kTemplateMonth);
                dsTmp.post();
            }
        };
        addMissing(QStringLiteral("GZ"), 11, 20, 0);
        addMissing(QStringLiteral("KK"), 6, 10, 1);
        dsTmp.updateBatch();
    } catch (const db::DbError&) {
    }
    dsTmp.close();
}

void TfrmMainGZT::LoadRegPara()
{
    db::RecordSet& para = m_dm.dsPara;
    StartValues& sv = startValues();
    try {
        para.close();
        para.open();
        if (para.eof())
            return; // no parameters row: the values stay as they are
        sv.printDays = int(para.fieldByName(QStringLiteral("PrintDays")).asInteger());
        sv.showFloat = int(para.fieldByName(QStringLiteral("ShowFloat")).asInteger());
        sv.companyName = para.fieldByName(QStringLiteral("EntName")).asString();
        sv.loginPassword = para.fieldByName(QStringLiteral("LogPass")).asString();
    } catch (const db::DbError&) {
        return; // the start-up values keep what they held; formats stay as designed
    }
    if (sv.loginPassword == schema::kInitialPassword)
        sv.loginPassword.clear();
    SetFloatFormat();
}

void TfrmMainGZT::SetFloatFormat()
{
    m_amountFormat = AmountFormatFor(startValues().showFloat);
    if (!dsGZDetail.isOpen())
        return;
    for (int i = 0; i < dsGZDetail.fieldCount(); ++i)
        if (dsGZDetail.fieldType(i) == db::FieldType::Float)
            dsGZDetail.setDisplayFormat(dsGZDetail.fieldName(i), m_amountFormat);
}

void TfrmMainGZT::ReadyMonth()
{
    dsGZMonth.close();
    try {
        dsGZMonth.setSql(QStringLiteral("select * from  TGZMonth Order by ID Desc"));
        dsGZMonth.open();
    } catch (const db::DbError&) {
        // The list stays empty.
    }
    fillMonthList();
}

void TfrmMainGZT::fillMonthList()
{
    gridMonth->setRowCount(0);
    if (!dsGZMonth.isOpen())
        return;
    const int idField = dsGZMonth.fieldIndex(QStringLiteral("ID"));
    const int nameField = dsGZMonth.fieldIndex(QStringLiteral("GZMonth"));
    gridMonth->setRowCount(dsGZMonth.recordCount());
    for (int r = 0; r < dsGZMonth.recordCount(); ++r) {
        gridMonth->setItem(r, 0, new QTableWidgetItem(dsGZMonth.displayTextAt(r, idField)));
        gridMonth->setItem(r, 1, new QTableWidgetItem(dsGZMonth.displayTextAt(r, nameField)));
    }
    if (gridMonth->rowCount() > 0)
        gridMonth->selectRow(0);
}

void TfrmMainGZT::FormActivate()
{
    if (m_activated)
        return;
    m_activated = true;
    dsGZDetail.close(); // no pay data behind the login prompt
    // The login prompt arrives with the passwords; until then no password is asked.
    if (m_endRequested)
        return;
    showFirstRunHelp();
}

void TfrmMainGZT::showFirstRunHelp()
{
    const QString marker = ProgramPath(kFirstRunMarker);
    if (QFile::exists(marker))
        return;
    ui::ShowMessage(kFirstRunMessage);
    OpenInBrowser(ProgramPath(kHelpPage));
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
    LoadRegPara();
}

void TfrmMainGZT::ToolButton8Click()
{
}

void TfrmMainGZT::ToolButton11Click()
{
    RunFile(ProgramPath(kUpdater), QString());
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
    OpenInBrowser(ProgramPath(kHelpPage));
}

void TfrmMainGZT::N15Click()
{
    ShowAbout(this);
}
