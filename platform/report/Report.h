#pragma once
#include "platform/error/SlipError.h"

#include <QFont>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>
#include <vector>

class QJsonObject;
class QPagedPaintDevice;
class QPainter;

namespace report {

// A template that cannot be opened or read, or a report that cannot run.
class ReportError : public slip::Error {
public:
    using slip::Error::Error;
};

enum class Kind { Report, Page, Region, Band, Text, DataText, Rectangle, Line };

// One component of a template. Positions and sizes are in inches, relative to the
// component's parent; font sizes in points.
class Component {
public:
    Kind kind = Kind::Text;
    QString name;
    double left = 0, top = 0, width = 0, height = 0;
    bool visible = true;
    // Texts and data texts.
    QString text;       // a text's text
    QString dataField;  // a data text's field; a name of no column prints nothing
    QString dataSource; // a band's (and its data texts') source
    double fontSize = 9;
    bool bold = false;
    int alignment = 0;  // 0 left, 1 centred, 2 right
    bool autoSize = true; // a text's width follows its text
    // Rectangles and lines.
    double penWidth = 0.01;
    bool dashed = false;
    // Pages.
    bool customSize = false;
    std::vector<std::unique_ptr<Component>> children;

    Component* add(std::unique_ptr<Component> child);
    // A direct or deeper child by name, letter case ignored; null when none.
    Component* find(const QString& name) const;
    // The font the component prints with.
    QFont font() const;
    // A text's width: its text at its font when it sizes itself, else as set.
    double shownWidth() const;
    void setText(const QString& t);
};

// The rows a band repeats over.
class DataSource {
public:
    virtual ~DataSource() = default;
    virtual int rowCount() const = 0;
    // A field's text in a row; empty for a field the source does not have.
    virtual QString text(int row, const QString& field) const = 0;
};

// A plain table: field names and row texts.
class TableSource : public DataSource {
public:
    TableSource(QStringList fields, std::vector<QStringList> rows) : m_fields(std::move(fields)), m_rows(std::move(rows)) {}
    int rowCount() const override { return int(m_rows.size()); }
    QString text(int row, const QString& field) const override;

private:
    QStringList m_fields;
    std::vector<QStringList> m_rows;
};

// A report project: the reports of one template file.
class Project {
public:
    void setProjectFile(const QString& path) { m_file = path; }
    QString projectFile() const { return m_file; }
    // Reads the file afresh; throws ReportError for a missing or damaged file.
    void open();
    void close() { m_root.reset(); }
    bool isOpen() const { return m_root != nullptr; }

    // "Report1.Page1": a report, then a page of it; names ignore letter case. Null when
    // there is no such component.
    Component* findComponent(const QString& dottedPath) const;
    Component* root() const { return m_root.get(); }
    // The report that runs: the first.
    Component* firstReport() const;

    // Writes the project as a template file. Throws ReportError.
    void save(const QString& path) const;
    // Takes a built tree (the template tools build theirs in code).
    void setRoot(std::unique_ptr<Component> root) { m_root = std::move(root); }

private:
    QString m_file;
    std::unique_ptr<Component> m_root;
};

// The data sources a run offers, by name (letter case ignored).
struct Sources {
    std::vector<std::pair<QString, const DataSource*>> named;
    const DataSource* find(const QString& name) const;
};

// A report laid out: the bands of every page.
struct PagePlan {
    const Component* page = nullptr;
    std::vector<std::pair<double, int>> bands; // top (inches, page coordinates) and row
};

// Lays the first report out: each page's region takes one band per row of the band's
// source while it fits below the region and the paper, then the next page follows.
std::vector<PagePlan> LayOut(const Project& project, const Sources& sources);
// Draws laid-out pages on a paged device, the page size set from each page.
void Render(const std::vector<PagePlan>& plan, const Sources& sources, QPagedPaintDevice& device,
            const std::function<bool(int page)>& beforePage = {});

} // namespace report
