#include "entry/uGZDetailEdit.h"
#include "entry/uBMYCalcEdit.h"

#include "common/Clock.h"
#include "payitems/ItemSet.h"
#include "data/Schema.h"
#include "common/StartValues.h"
#include "common/Text.h"
#include "common/uCommon.h"
#include "data/uDM.h"
#include "platform/ui/Ui.h"
#include "platform/ui/UiHelpers.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kSlotsPerRow = 5;
constexpr int kAmountDigits = 10; // up to 9,999,999,999.99 typed; longer values still show whole
const QString kDayRateCaption = QStringLiteral("工资/天");
const QString kWorkDaysCaption = QStringLiteral("出勤天数");

void limitToColumn(QLineEdit* box, int bytes)
{
    ui::LimitLength(box, bytes, &GbkLength);
}

QComboBox* editableList(QWidget* parent, int bytes)
{
    auto* c = new QComboBox(parent);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->setMinimumWidth(130);
    limitToColumn(c->lineEdit(), bytes);
    return c;
}

QLineEdit* readOnlyBox(QWidget* parent)
{
    auto* e = new QLineEdit(parent);
    e->setReadOnly(true);
    e->setAlignment(Qt::AlignRight);
    return e;
}

} // namespace

TfrmGZDetailEdit::TfrmGZDetailEdit(TDM& dm, QWidget* parent)
    : QDialog(parent), m_dm(dm)
{
    setWindowTitle(QStringLiteral("新增/修改工资明细"));

    EditMonth = new QLineEdit(this);
    EditMonth->setReadOnly(true);
    cmbDepart = editableList(this, kDepartBytes);
    cmbEmpName = editableList(this, kNameBytes);
    cmbZWName = editableList(this, kPositionBytes);
    EditWorkDays = new QLineEdit(this);
    ui::LimitToNumber(EditWorkDays, 2, 2);
    EditWorkDays->setAlignment(Qt::AlignRight);
    EditWorkDays->setMaximumWidth(70);
    EditOneDayMOney = new QLineEdit(this);
    EditOneDayMOney->setMaximumWidth(90);
    EditOneDayMOney->setAlignment(Qt::AlignRight);
    ui::LimitToNumber(EditOneDayMOney, kAmountDigits, 0);
    cmdDayCalc = new QPushButton(QStringLiteral("第一应发工资项目=出勤天数X(工资/天)"), this);

    auto* head = new QGridLayout;
    head->addWidget(new QLabel(QStringLiteral("月度"), this), 0, 0);
    head->addWidget(EditMonth, 0, 1);
    head->addWidget(new QLabel(QStringLiteral("部门"), this), 0, 2);
    head->addWidget(cmbDepart, 0, 3);
    head->addWidget(new QLabel(QStringLiteral("姓名"), this), 0, 4);
    head->addWidget(cmbEmpName, 0, 5);
    head->addWidget(new QLabel(QStringLiteral("职务"), this), 0, 6);
    head->addWidget(cmbZWName, 0, 7);
    auto* days = new QHBoxLayout;
    days->addWidget(new QLabel(QStringLiteral("出勤天数"), this));
    days->addWidget(EditWorkDays);
    days->addWidget(new QLabel(QStringLiteral("工资/天"), this));
    days->addWidget(EditOneDayMOney);
    days->addWidget(cmdDayCalc);
    days->addStretch();

    GroupBoxGZ = new QGroupBox(QStringLiteral("应发工资项目"), this);
    buildSlots(GroupBoxGZ, gzSlots.data(), int(gzSlots.size()), QStringLiteral("GZ"));
    cmdBMYCalc = new QPushButton(QStringLiteral("应发工资不满1月自动计算"), this);
    GroupBoxKK = new QGroupBox(QStringLiteral("应扣代扣工资项目"), this);
    buildSlots(GroupBoxKK, kkSlots.data(), int(kkSlots.size()), QStringLiteral("KK"));

    cmdCalc = new QPushButton(QStringLiteral("调用系统计算器"), this);
    EditYF = readOnlyBox(this);
    EditKK = readOnlyBox(this);
    EditSF = readOnlyBox(this);
    EditQM = new QLineEdit(this);
    limitToColumn(EditQM, kRemarkBytes);
    auto* totals = new QHBoxLayout;
    totals->addWidget(cmdCalc);
    totals->addSpacing(12);
    for (auto [caption, box] : {std::pair{QStringLiteral("应发合计"), EditYF}, std::pair{QStringLiteral("应扣合计"), EditKK},
                                std::pair{QStringLiteral("实发工资"), EditSF}, std::pair{QStringLiteral("备注信息"), EditQM}}) {
        totals->addWidget(new QLabel(caption, this));
        totals->addWidget(box);
    }

    cmdSH = new QPushButton(QStringLiteral("保存(&S)"), this);
    cmdCancel = new QPushButton(QStringLiteral("取消(&X)"), this);
    auto* buttons = ui::ButtonRow({cmdSH, cmdCancel});

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addLayout(days);
    layout->addWidget(GroupBoxGZ);
    layout->addWidget(cmdBMYCalc, 0, Qt::AlignLeft);
    layout->addWidget(GroupBoxKK);
    layout->addLayout(totals);
    layout->addLayout(buttons);

    // Enter moves on like Tab, so no button may take it as the default.
    for (QPushButton* b : findChildren<QPushButton*>())
        b->setAutoDefault(false);
    for (QWidget* w : findChildren<QWidget*>())
        w->installEventFilter(this);
    connect(cmdSH, &QPushButton::clicked, this, &TfrmGZDetailEdit::cmdSHClick);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdCalc, &QPushButton::clicked, this, &TfrmGZDetailEdit::cmdCalcClick);
    connect(cmdBMYCalc, &QPushButton::clicked, this, &TfrmGZDetailEdit::cmdBMYCalcClick);
    connect(cmdDayCalc, &QPushButton::clicked, this, &TfrmGZDetailEdit::cmdDayCalcClick);
    cmbDepart->setFocus();
}

void TfrmGZDetailEdit::buildSlots(QGroupBox* group, ValueSlot* boxes, int count, const QString& prefix)
{
    auto* grid = new QGridLayout(group);
    for (int s = 0; s < count; ++s) {
        ValueSlot& slot = boxes[s];
        slot.label = new QLabel(group);
        slot.label->setObjectName(QStringLiteral("Label%1%2").arg(prefix).arg(s + 1));
        slot.box = new QLineEdit(group);
        slot.box->setObjectName(QStringLiteral("Edit%1%2").arg(prefix).arg(s + 1));
        slot.box->setAlignment(Qt::AlignRight);
        slot.box->setMinimumWidth(110);
        const int row = s / kSlotsPerRow, col = s % kSlotsPerRow;
        grid->addWidget(slot.label, row * 2, col);
        grid->addWidget(slot.box, row * 2 + 1, col);
        connect(slot.box, &QLineEdit::textChanged, this, [this] { AutoCalc(); });
    }
}

bool TfrmGZDetailEdit::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    auto* widget = qobject_cast<QWidget*>(watched);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        // Only the focused control moves on, not the parents the key travels through.
        if (widget && widget == QApplication::focusWidget())
            ui::EnterToNextControl(widget, key->key(), key->modifiers());
        return false;
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmGZDetailEdit::SetEditFormat()
{
    m_format = AmountFormat();
    // Decimals can be typed only when amounts show them.
    const int decimals = startValues().showFloat != 0 ? 2 : 0;
    for (ValueSlot& s : gzSlots)
        ui::LimitToNumber(s.box, kAmountDigits, decimals);
    for (ValueSlot& s : kkSlots)
        ui::LimitToNumber(s.box, kAmountDigits, decimals);
}

void TfrmGZDetailEdit::fillLists(const QString& month)
{
    const entry::EntryLists lists = entry::ReadEntryLists(m_dm, month);
    for (auto [box, items] : {std::pair{cmbDepart, &lists.departs}, std::pair{cmbEmpName, &lists.names},
                              std::pair{cmbZWName, &lists.positions}}) {
        box->clear();
        box->addItems(*items);
    }
}

void TfrmGZDetailEdit::fillSlots(ValueSlot* boxes, int count, int type, const QString& month)
{
    using namespace payitems;
    const ItemList list = MonthItems(m_dm.ADOLocal, month, ItemType(type), Reader::EntrySlots);
    int s = 0;
    for (const PayItem& item : list.items) {
        if (s == count)
            break;
        if (!schema::EarningsColumns().contains(item.field, Qt::CaseInsensitive)
            && !schema::DeductionColumns().contains(item.field, Qt::CaseInsensitive))
            throw db::DbError(QStringLiteral("Item column '%1' does not exist").arg(item.field));
        ValueSlot& slot = boxes[s++];
        slot.caption = item.name;
        slot.field = item.field.toUpper();
        slot.label->setText(slot.caption);
        const double amount = m_row ? m_row->amounts.value(slot.field) : 0.0;
        QString text = FormatFloat(amount, m_format);
        if (text == QLatin1String("0"))
            text.clear();
        slot.box->setText(text);
    }
    for (; s < count; ++s) {
        boxes[s].field.clear();
        boxes[s].caption.clear();
        boxes[s].box->clear();
        boxes[s].label->hide();
        boxes[s].box->hide();
    }
}

bool TfrmGZDetailEdit::ReadyData(qint64 id, const QString& month)
{
    m_id = id;
    SetEditFormat();
    EditMonth->setText(month);
    fillLists(month);
    const bool read = ui::RunStep(kReadDbError, [&] {
        m_row = entry::ReadPayRow(m_dm.ADOLocal, id);
        cmbDepart->setCurrentText(m_row ? m_row->depart : QString());
        cmbEmpName->setCurrentText(m_row ? m_row->name : QString());
        cmbZWName->setCurrentText(m_row ? m_row->position : QString());
        EditQM->setText(m_row ? m_row->remark : QString());
        EditOneDayMOney->setText(FormatFloat(m_row ? m_row->dayRate : 0.0, kWholeFormat));
        EditWorkDays->setText(FormatFloat(m_row ? m_row->workDays : 0.0, kDecimalFormat));
        fillSlots(gzSlots.data(), int(gzSlots.size()), 0, month);
        fillSlots(kkSlots.data(), int(kkSlots.size()), 1, month);
    });
    if (!read)
        return false;
    AutoCalc();
    return true;
}

std::optional<double> TfrmGZDetailEdit::BoxValue(const QLineEdit* box)
{
    bool ok = false;
    const double v = NormalizeNumText(box->text()).toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return v;
}

const ValueSlot* TfrmGZDetailEdit::badSlot() const
{
    for (const ValueSlot& s : gzSlots)
        if (s.shown() && !BoxValue(s.box))
            return &s;
    for (const ValueSlot& s : kkSlots)
        if (s.shown() && !BoxValue(s.box))
            return &s;
    return nullptr;
}

void TfrmGZDetailEdit::reportBadSlot(const ValueSlot& slot)
{
    m_lastReported = slot.field + QLatin1Char('\n') + slot.box->text();
    reportNoNumber(slot.caption, slot.box);
}

void TfrmGZDetailEdit::reportNoNumber(const QString& caption, const QLineEdit* box)
{
    ui::ShowError(QStringLiteral("“%1”中的“%2”不是有效的数字！").arg(caption, box->text()));
}

bool TfrmGZDetailEdit::checkDayBoxes()
{
    for (auto [caption, box] : {std::pair{kWorkDaysCaption, EditWorkDays}, std::pair{kDayRateCaption, EditOneDayMOney}})
        if (!BoxValue(box)) {
            reportNoNumber(caption, box);
            return false;
        }
    return true;
}

bool TfrmGZDetailEdit::checkTextLengths()
{
    const std::tuple<QString, QString, int> texts[] = {
        {QStringLiteral("部门"), cmbDepart->currentText(), kDepartBytes},
        {QStringLiteral("姓名"), cmbEmpName->currentText(), kNameBytes},
        {QStringLiteral("职务"), cmbZWName->currentText(), kPositionBytes},
        {QStringLiteral("备注信息"), EditQM->text(), kRemarkBytes}};
    for (const auto& [caption, text, limit] : texts)
        if (GbkLength(text) > limit) {
            ui::ShowError(TooLongMessage(caption, limit));
            return false;
        }
    return true;
}

bool TfrmGZDetailEdit::AutoCalc()
{
    if (const ValueSlot* bad = badSlot()) {
        // Told once per bad text, not at every keystroke.
        if (m_lastReported != bad->field + QLatin1Char('\n') + bad->box->text())
            reportBadSlot(*bad);
        return false;
    }
    m_lastReported.clear();
    const paysheet::RowTotals t = rowFromBoxes().totals;
    EditYF->setText(FormatFloat(t.earnings, m_format));
    EditKK->setText(FormatFloat(t.deductions, m_format));
    EditSF->setText(FormatFloat(t.net, m_format));
    return true;
}

entry::PayRow TfrmGZDetailEdit::rowFromBoxes() const
{
    entry::PayRow row;
    std::vector<double> earnings, deductions;
    for (const ValueSlot& s : gzSlots)
        if (s.shown())
            row.amounts.insert(s.field, earnings.emplace_back(BoxValue(s.box).value_or(0.0)));
    for (const ValueSlot& s : kkSlots)
        if (s.shown())
            row.amounts.insert(s.field, deductions.emplace_back(BoxValue(s.box).value_or(0.0)));
    // Net pay from the two totals as shown.
    row.totals = paysheet::ComputeRowTotals(earnings, deductions, m_format == kDecimalFormat ? 2 : 0);
    return row;
}

bool TfrmGZDetailEdit::SaveData()
{
    if (cmbDepart->currentText().isEmpty()) {
        ui::ShowError(QStringLiteral("请选择或输入部门！"));
        return false;
    }
    if (cmbEmpName->currentText().isEmpty()) {
        ui::ShowError(QStringLiteral("请选择或输入姓名！"));
        return false;
    }
    if (cmbZWName->currentText().isEmpty())
        cmbZWName->setCurrentText(QStringLiteral(" "));
    if (const ValueSlot* bad = badSlot()) {
        reportBadSlot(*bad);
        return false;
    }
    if (!AutoCalc() || !checkDayBoxes() || !checkTextLengths())
        return false;
    entry::PayRow row = rowFromBoxes();
    row.id = m_row ? m_row->id : -1;
    row.email = m_row ? m_row->email : QString();
    row.logTime = Clock::now();
    row.month = EditMonth->text();
    row.depart = cmbDepart->currentText();
    row.name = cmbEmpName->currentText();
    row.position = cmbZWName->currentText();
    row.remark = EditQM->text();
    row.dayRate = *BoxValue(EditOneDayMOney);
    row.workDays = *BoxValue(EditWorkDays);
    return ui::RunStep(QStringLiteral("存储数据库发生错误！"),
                       [&] { m_savedId = entry::StorePayRow(m_dm.ADOLocal, row); });
}

void TfrmGZDetailEdit::cmdSHClick()
{
    if (SaveData())
        accept();
}

void TfrmGZDetailEdit::cmdCalcClick()
{
    if (!RunFile(QStringLiteral("calc"), QString()))
        ui::ShowError(CannotOpenMessage(QStringLiteral("系统计算器")));
}

void TfrmGZDetailEdit::cmdBMYCalcClick()
{
    if (!BoxValue(EditWorkDays)) {
        reportNoNumber(kWorkDaysCaption, EditWorkDays);
        return;
    }
    double worked = *BoxValue(EditWorkDays);
    double due = 0;
    if (!ShowBMYCalcEdit(worked, due, this))
        return;
    for (ValueSlot& s : gzSlots) {
        if (!s.shown())
            continue;
        const std::optional<double> v = BoxValue(s.box);
        if (!v) {
            reportBadSlot(s);
            return;
        }
        s.box->setText(FormatFloat(*v * worked / due, kDecimalFormat));
    }
    AutoCalc();
}

void TfrmGZDetailEdit::cmdDayCalcClick()
{
    if (!gzSlots[0].shown() || !checkDayBoxes())
        return; // a box holding no number is named; nothing changes
    const double amount = *BoxValue(EditWorkDays) * *BoxValue(EditOneDayMOney);
    gzSlots[0].box->setText(FormatFloat(amount, kDecimalFormat));
}

bool ShowGZDetailEdit(TDM& dm, qint64 id, const QString& month, QWidget* parent, qint64* savedId)
{
    TfrmGZDetailEdit dlg(dm, parent);
    if (!dlg.ReadyData(id, month))
        return false;
    if (ui::current().execDialog(dlg) != QDialog::Accepted)
        return false;
    if (savedId)
        *savedId = dlg.savedId();
    return true;
}
