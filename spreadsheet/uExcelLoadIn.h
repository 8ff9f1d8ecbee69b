#pragma once
#include "spreadsheet/Import.h"

#include "platform/xls/XlsTable.h"

#include <QDialog>

#include <memory>

class QComboBox;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QTableView;
class QTableWidget;
class TDM;

namespace spreadsheet {
class SheetPreviewModel;
}

// Imports pay rows of a month from a sheet of an .xls file, through a mapping of pay sheet
// columns to sheet columns.
class TfrmExcelLoadIn : public QDialog {
    Q_OBJECT
public:
    TfrmExcelLoadIn(TDM& dm, const QString& month, const QString& fieldList, QWidget* parent = nullptr);
    ~TfrmExcelLoadIn() override;

    // Fills the mapping table from the field list and the column menu from the open sheet.
    void cmdJSClick();
    void Button6Click();
    // Opens the file at path, as choosing it does; false after the message.
    bool OpenSource(const QString& path);
    void cmbTablesClick();
    void Button2Click();
    void Button1Click();
    // Maps the selected mapping row to a sheet column, as choosing it in the menu does.
    void MapSelectedRow(const QString& sheetColumn);
    void Button4Click();
    // Imports the open sheet's records; false when no sheet is open or nothing could be stored.
    bool UpdateData();

    // The mapping as the table shows it.
    const std::vector<spreadsheet::MappingRow>& mapping() const { return m_rows; }
    // The result of the last import.
    const spreadsheet::ImportResult& lastImport() const { return m_result; }

    QPushButton* Button6;
    QComboBox* cmbTables;
    QTableView* gridPreview;
    QTableWidget* sgMap;
    QPushButton* Button1;
    QMenu* PopupMenu1;
    QPushButton* Button4;
    QPushButton* Button3;
    QProgressBar* ProgressBar1;
    QLabel* lblProgress;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Opens the table named in the sheet box; false after the message.
    bool openSelectedTable();
    void showMapping();
    void showProgress(int done, int total);

    TDM& m_dm;
    QString m_month;
    QString m_fieldList;
    std::vector<spreadsheet::MappingRow> m_rows;
    xls::XlsConnection m_source;
    std::unique_ptr<xls::Table> m_table;
    spreadsheet::SheetPreviewModel* m_preview;
    spreadsheet::ImportResult m_result;
};

// Opens the import for a month with the field list of the pay sheet.
void ShowExcelLoadIn(TDM& dm, const QString& month, const QString& fieldList, QWidget* parent = nullptr);

inline const QString kImportFileCaption = QStringLiteral("选择用来导入的数据文件");
inline const QString kImportFilter = QStringLiteral("Excel 数据文件(*.xls)|*.xls");
