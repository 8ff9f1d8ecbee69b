#include "platform/report/Report.h"

#include <QFile>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QScreen>

#include <cmath>

namespace report {

namespace {

const QString kFormat = QStringLiteral("slipdesk-report");

const std::pair<Kind, const char*> kKindNames[] = {
    {Kind::Report, "Report"}, {Kind::Page, "Page"},           {Kind::Region, "Region"},       {Kind::Band, "Band"},
    {Kind::Text, "Text"},     {Kind::DataText, "DataText"},   {Kind::Rectangle, "Rectangle"}, {Kind::Line, "Line"},
};

QString kindName(Kind k)
{
    for (const auto& [kind, name] : kKindNames)
        if (kind == k)
            return QString::fromLatin1(name);
    return QString();
}

double screenDpi()
{
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->logicalDotsPerInchX() : 96.0;
}

// Reads one component; every value is checked, so a hand-edited file cannot mislead.
std::unique_ptr<Component> readComponent(const QJsonObject& o, const QString& file, int depth)
{
    auto fail = [&](const QString& what) {
        return ReportError(QStringLiteral("The report template \"%1\" is damaged: %2").arg(file, what));
    };
    if (depth > 32)
        throw fail(QStringLiteral("components nest too deeply"));
    auto c = std::make_unique<Component>();
    const QString kind = o.value(QLatin1String("kind")).toString();
    bool known = false;
    for (const auto& [k, name] : kKindNames)
        if (kind == QLatin1String(name)) {
            c->kind = k;
            known = true;
        }
    if (!known)
        throw fail(QStringLiteral("unknown component kind \"%1\"").arg(kind));
    c->name = o.value(QLatin1String("name")).toString();
    auto number = [&](const char* key, double def) {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined())
            return def;
        if (!v.isDouble() || !std::isfinite(v.toDouble()) || std::fabs(v.toDouble()) > 1000)
            throw fail(QStringLiteral("\"%1\" of \"%2\" is not a size").arg(QLatin1String(key), c->name));
        return v.toDouble();
    };
    c->left = number("left", 0);
    c->top = number("top", 0);
    c->width = number("width", 0);
    c->height = number("height", 0);
    c->fontSize = number("fontSize", 9);
    c->penWidth = number("penWidth", 0.01);
    c->alignment = int(number("alignment", 0));
    c->visible = o.value(QLatin1String("visible")).toBool(true);
    c->bold = o.value(QLatin1String("bold")).toBool(false);
    c->autoSize = o.value(QLatin1String("autoSize")).toBool(true);
    c->dashed = o.value(QLatin1String("dashed")).toBool(false);
    c->customSize = o.value(QLatin1String("customSize")).toBool(false);
    c->text = o.value(QLatin1String("text")).toString();
    c->dataField = o.value(QLatin1String("dataField")).toString();
    c->dataSource = o.value(QLatin1String("dataSource")).toString();
    if (c->fontSize <= 0 || c->width < 0 || c->height < 0 || c->alignment < 0 || c->alignment > 2)
        throw fail(QStringLiteral("\"%1\" has impossible values").arg(c->name));
    const QJsonValue kids = o.value(QLatin1String("children"));
    if (!kids.isUndefined() && !kids.isArray())
        throw fail(QStringLiteral("the children of \"%1\" are no list").arg(c->name));
    for (const QJsonValue& child : kids.toArray()) {
        if (!child.isObject())
            throw fail(QStringLiteral("a child of \"%1\" is no component").arg(c->name));
        c->add(readComponent(child.toObject(), file, depth + 1));
    }
    return c;
}

QJsonObject writeComponent(const Component& c)
{
    QJsonObject o{{QStringLiteral("kind"), kindName(c.kind)}, {QStringLiteral("name"), c.name}};
    auto put = [&](const char* key, double v, double def) {
        if (v != def)
            o.insert(QLatin1String(key), v);
    };
    put("left", c.left, 0);
    put("top", c.top, 0);
    put("width", c.width, 0);
    put("height", c.height, 0);
    if (c.kind == Kind::Text || c.kind == Kind::DataText) {
        put("fontSize", c.fontSize, 9);
        put("alignment", c.alignment, 0);
        if (c.bold)
            o.insert(QStringLiteral("bold"), true);
    }
    if (c.kind == Kind::Rectangle || c.kind == Kind::Line)
        put("penWidth", c.penWidth, 0.01);
    if (!c.visible)
        o.insert(QStringLiteral("visible"), false);
    if (c.kind == Kind::Text && !c.autoSize)
        o.insert(QStringLiteral("autoSize"), false);
    if (c.dashed)
        o.insert(QStringLiteral("dashed"), true);
    if (c.customSize)
        o.insert(QStringLiteral("customSize"), true);
    if (!c.text.isEmpty())
        o.insert(QStringLiteral("text"), c.text);
    if (!c.dataField.isEmpty())
        o.insert(QStringLiteral("dataField"), c.dataField);
    if (!c.dataSource.isEmpty())
        o.insert(QStringLiteral("dataSource"), c.dataSource);
    if (!c.children.empty()) {
        QJsonArray kids;
        for (const auto& child : c.children)
            kids.append(writeComponent(*child));
        o.insert(QStringLiteral("children"), kids);
    }
    return o;
}

const Component* firstOfKind(const Component& parent, Kind kind)
{
    for (const auto& c : parent.children)
        if (c->kind == kind)
            return c.get();
    return nullptr;
}

QRectF inches(double left, double top, double width, double height, double dpi)
{
    return QRectF(left * dpi, top * dpi, width * dpi, height * dpi);
}

Qt::Alignment alignmentOf(int a)
{
    return Qt::AlignVCenter | (a == 1 ? Qt::AlignHCenter : a == 2 ? Qt::AlignRight : Qt::AlignLeft);
}

// Draws a component and its children at an offset (inches), data texts from one row.
void draw(QPainter& p, const Component& c, double dx, double dy, double dpi, const Sources& sources,
          const DataSource* rowSource, int row)
{
    if (!c.visible)
        return;
    const double x = dx + c.left, y = dy + c.top;
    switch (c.kind) {
    case Kind::Text:
    case Kind::DataText: {
        QString text = c.text;
        if (c.kind == Kind::DataText) {
            // The band's source gives the current row; another source its first row.
            const DataSource* named = c.dataSource.isEmpty() ? rowSource : sources.find(c.dataSource);
            const int r = named == rowSource ? row : 0;
            text = named && r >= 0 && r < named->rowCount() ? named->text(r, c.dataField.trimmed()) : QString();
        }
        p.setFont(c.font());
        // Text set to an edge keeps off a frame drawn on that edge.
        constexpr double kInset = 0.03;
        QRectF box = inches(x, y, c.kind == Kind::Text ? c.shownWidth() : c.width, c.height, dpi);
        const bool sized = c.kind == Kind::Text && c.autoSize; // its box is its text
        if (c.alignment != 1 && !sized)
            box.adjust(c.alignment == 0 ? kInset * dpi : 0, 0, c.alignment == 2 ? -kInset * dpi : 0, 0);
        p.drawText(box, alignmentOf(c.alignment) | (sized ? Qt::TextDontClip : Qt::TextWordWrap), text);
        break;
    }
    case Kind::Rectangle:
        p.setPen(QPen(Qt::black, c.penWidth * dpi));
        p.setBrush(Qt::NoBrush);
        p.drawRect(inches(x, y, c.width, c.height, dpi));
        break;
    case Kind::Line: {
        QPen pen(Qt::black, c.penWidth * dpi);
        if (c.dashed)
            pen.setStyle(Qt::DashLine);
        p.setPen(pen);
        p.drawLine(QPointF(x * dpi, y * dpi), QPointF((x + c.width) * dpi, (y + c.height) * dpi));
        break;
    }
    default:
        break;
    }
    if (c.kind == Kind::Band || c.kind == Kind::Region)
        return; // drawn by the layout
    for (const auto& child : c.children)
        draw(p, *child, x, y, dpi, sources, rowSource, row);
    p.setPen(Qt::black);
}

} // namespace

Component* Component::add(std::unique_ptr<Component> child)
{
    children.push_back(std::move(child));
    return children.back().get();
}

Component* Component::find(const QString& wanted) const
{
    for (const auto& c : children) {
        if (c->name.compare(wanted, Qt::CaseInsensitive) == 0)
            return c.get();
        if (Component* deeper = c->find(wanted))
            return deeper;
    }
    return nullptr;
}

QFont Component::font() const
{
    QFont f;
    f.setFamilies({QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"), QStringLiteral("SimSun")});
    f.setPointSizeF(fontSize);
    f.setBold(bold);
    return f;
}

double Component::shownWidth() const
{
    if (kind != Kind::Text || !autoSize)
        return width;
    return QFontMetricsF(font()).horizontalAdvance(text) / screenDpi();
}

void Component::setText(const QString& t)
{
    text = t;
    if (kind == Kind::Text && autoSize)
        width = shownWidth();
}

QString TableSource::text(int row, const QString& field) const
{
    if (row < 0 || row >= rowCount())
        return QString();
    for (qsizetype i = 0; i < m_fields.size(); ++i)
        if (m_fields[i].compare(field, Qt::CaseInsensitive) == 0)
            return m_rows[size_t(row)].value(i);
    return QString();
}

void Project::open()
{
    close();
    QFile f(m_file);
    if (!f.exists())
        throw ReportError(QStringLiteral("The following reporting project does not exist:\n\"%1\"").arg(m_file));
    if (!f.open(QIODevice::ReadOnly))
        throw ReportError(QStringLiteral("The report template \"%1\" cannot be read: %2").arg(m_file, f.errorString()));
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(f.readAll(), &error);
    if (doc.isNull() || !doc.isObject())
        throw ReportError(QStringLiteral("The report template \"%1\" is damaged: %2").arg(m_file, error.errorString()));
    const QJsonObject o = doc.object();
    if (o.value(QLatin1String("format")).toString() != kFormat || !o.value(QLatin1String("reports")).isArray())
        throw ReportError(QStringLiteral("The file \"%1\" is no report template").arg(m_file));
    auto root = std::make_unique<Component>();
    root->kind = Kind::Report;
    for (const QJsonValue& r : o.value(QLatin1String("reports")).toArray()) {
        if (!r.isObject())
            throw ReportError(QStringLiteral("The report template \"%1\" is damaged: a report is no component").arg(m_file));
        std::unique_ptr<Component> report = readComponent(r.toObject(), m_file, 0);
        if (report->kind != Kind::Report)
            throw ReportError(QStringLiteral("The report template \"%1\" is damaged: \"%2\" is no report").arg(m_file, report->name));
        root->add(std::move(report));
    }
    m_root = std::move(root);
}

Component* Project::findComponent(const QString& dottedPath) const
{
    if (!m_root)
        return nullptr;
    const Component* at = m_root.get();
    for (const QString& part : dottedPath.split(QLatin1Char('.'))) {
        const Component* next = nullptr;
        for (const auto& c : at->children)
            if (c->name.compare(part, Qt::CaseInsensitive) == 0)
                next = c.get();
        if (!next)
            return nullptr;
        at = next;
    }
    return const_cast<Component*>(at);
}

Component* Project::firstReport() const
{
    return m_root && !m_root->children.empty() ? m_root->children.front().get() : nullptr;
}

void Project::save(const QString& path) const
{
    if (!m_root)
        throw ReportError(QStringLiteral("No report project is open"));
    QJsonArray reports;
    for (const auto& r : m_root->children)
        reports.append(writeComponent(*r));
    const QJsonObject o{{QStringLiteral("format"), kFormat}, {QStringLiteral("version"), 1}, {QStringLiteral("reports"), reports}};
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(QJsonDocument(o).toJson(QJsonDocument::Indented)) < 0 || !f.commit())
        throw ReportError(QStringLiteral("Cannot write the report template \"%1\": %2").arg(path, f.errorString()));
}

const DataSource* Sources::find(const QString& name) const
{
    for (const auto& [n, s] : named)
        if (n.compare(name, Qt::CaseInsensitive) == 0)
            return s;
    return nullptr;
}

std::vector<PagePlan> LayOut(const Project& project, const Sources& sources)
{
    std::vector<PagePlan> plan;
    const Component* report = project.firstReport();
    if (!report)
        throw ReportError(QStringLiteral("The report project \"%1\" holds no report").arg(project.projectFile()));
    for (const auto& pageHolder : report->children) {
        const Component* page = pageHolder.get();
        if (page->kind != Kind::Page)
            continue;
        const Component* region = firstOfKind(*page, Kind::Region);
        const Component* band = region ? firstOfKind(*region, Kind::Band) : nullptr;
        const DataSource* source = band ? sources.find(band->dataSource) : nullptr;
        PagePlan current{page, {}};
        if (band && source && band->height > 0) {
            // A band moves whole to the next page when the region or the paper ends first.
            const double bottom = std::min(region->top + region->height, page->height);
            double y = region->top;
            for (int row = 0; row < source->rowCount(); ++row) {
                if (y + band->height > bottom + 1e-9 && !current.bands.empty()) {
                    plan.push_back(current);
                    current.bands.clear();
                    y = region->top;
                }
                current.bands.push_back({y, row});
                y += band->height;
            }
        }
        plan.push_back(current);
    }
    return plan;
}

void Render(const std::vector<PagePlan>& plan, const Sources& sources, QPagedPaintDevice& device,
            const std::function<bool(int page)>& beforePage)
{
    if (plan.empty())
        return;
    auto sizeFor = [](const Component* page) { return QPageSize(QSizeF(page->width, page->height), QPageSize::Inch); };
    device.setPageMargins(QMarginsF(0, 0, 0, 0));
    device.setPageSize(sizeFor(plan.front().page));
    QPainter p;
    if (!p.begin(&device))
        throw ReportError(QStringLiteral("The output cannot be written"));
    const double dpi = device.logicalDpiX();
    for (size_t i = 0; i < plan.size(); ++i) {
        if (beforePage && !beforePage(int(i) + 1))
            break; // cancelled
        const PagePlan& pp = plan[i];
        if (i > 0) {
            device.setPageSize(sizeFor(pp.page));
            device.newPage();
        }
        for (const auto& c : pp.page->children)
            if (c->kind != Kind::Region)
                draw(p, *c, 0, 0, dpi, sources, nullptr, -1);
        const Component* region = firstOfKind(*pp.page, Kind::Region);
        if (!region)
            continue;
        for (const auto& c : region->children)
            if (c->kind != Kind::Band)
                draw(p, *c, region->left, region->top, dpi, sources, nullptr, -1);
        const Component* band = firstOfKind(*region, Kind::Band);
        const DataSource* source = band ? sources.find(band->dataSource) : nullptr;
        for (const auto& [top, row] : pp.bands)
            for (const auto& c : band->children)
                draw(p, *c, region->left + band->left, top, dpi, sources, source, row);
    }
    p.end();
}

} // namespace report
