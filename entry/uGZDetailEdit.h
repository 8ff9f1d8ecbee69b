#pragma once
#include "entry/PayRow.h"

#include <QDialog>

#include <array>
#include <optional>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TDM;

// One labelled value box of the entry dialog, bound to the pay row column of its item.
struct ValueSlot {
    QLabel* label = nullptr;
    QLineEdit* box = nullptr;
    QString caption; // the item's GZName
    QString field;   // the item's GZField1; empty while the slot has no item
    bool shown() const { return !field.isEmpty(); }
};

// Types one pay row: one value box per enabled item of the month, the three totals kept
// current while typing, and the day-based calculations.
class TfrmGZDetailEdit : public QDialog {
    Q_OBJECT
public:
    explicit TfrmGZDetailEdit(TDM& dm, QWidget* parent = nullptr);

    // Loads the row (a new one when id matches none) and the month's slots; false after
    // "读取数据库发生错误！".
    bool ReadyData(qint64 id, const QString& month);
    void SetEditFormat();
    // Recomputes the three totals from the boxes; false (totals untouched) when a box holds
    // no number.
    bool AutoCalc();
    // Checks and stores the row; false keeps the dialog open.
    bool SaveData();

    void cmdSHClick();
    void cmdCalcClick();
    void cmdBMYCalcClick();
    void cmdDayCalcClick();

    // The number a box holds (its text made convertible); nullopt when it is no number.
    static std::optional<double> BoxValue(const QLineEdit* box);

    QLineEdit* EditMonth;
    QComboBox* cmbDepart;
    QComboBox* cmbEmpName;
    QComboBox* cmbZWName;
    QLineEdit* EditWorkDays;
    QLineEdit* EditOneDayMOney;
    QPushButton* cmdDayCalc;
    QGroupBox* GroupBoxGZ;
    QPushButton* cmdBMYCalc;
    QGroupBox* GroupBoxKK;
    QPushButton* cmdCalc;
    QLineEdit* EditYF;
    QLineEdit* EditKK;
    QLineEdit* EditSF;
    QLineEdit* EditQM;
    QPushButton* cmdSH;
    QPushButton* cmdCancel;
    std::array<ValueSlot, 20> gzSlots;
    std::array<ValueSlot, 10> kkSlots;

    // The ID of the row stored by the last successful save; -1 before.
    qint64 savedId() const { return m_savedId; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildSlots(QGroupBox* group, ValueSlot* boxes, int count, const QString& prefix);
    // Gives the enabled items of one side (BASE's when the month has none) to its slots.
    void fillSlots(ValueSlot* boxes, int count, int type, const QString& month);
    void fillLists(const QString& month);
    // The row as the boxes hold it, totals included; the boxes must hold numbers.
    entry::PayRow rowFromBoxes() const;
    // The first box of a side holding no number, for the message; null when all are fine.
    const ValueSlot* badSlot() const;
    void reportBadSlot(const ValueSlot& slot);
    void reportNoNumber(const QString& caption, const QLineEdit* box);
    // False after naming the days or rate box that holds no number.
    bool checkDayBoxes();
    // False after naming the first text longer than its column.
    bool checkTextLengths();

    TDM& m_dm;
    QString m_format = QStringLiteral("0");
    qint64 m_id = -1;
    std::optional<entry::PayRow> m_row; // the stored row; nullopt for a new one
    qint64 m_savedId = -1;
    QString m_lastReported;
};

// The lengths of the row's text columns, in GBK bytes.
inline constexpr int kDepartBytes = 50;
inline constexpr int kNameBytes = 50;
inline constexpr int kPositionBytes = 20;
inline constexpr int kRemarkBytes = 10;

// Opens the entry dialog for a row ID (-1 or an unknown ID: a new row) of a month; true
// when the row was saved.
// The stored row's ID goes to savedId when given.
bool ShowGZDetailEdit(TDM& dm, qint64 id, const QString& month, QWidget* parent = nullptr, qint64* savedId = nullptr);

