#include "survey.h"

#include "edition.h"

#include <QJsonDocument>
#include <QJsonValue>
#include <QMap>

namespace Survey {

namespace {

// Ids and orders are integers; anything else counts as 0.
int integral(const QJsonValue &value)
{
    if (!value.isDouble())
        return 0;
    const double d = value.toDouble();
    const int i = static_cast<int>(d);
    return static_cast<double>(i) == d ? i : 0;
}

} // namespace

QString typeValue(const QString &third)
{
    switch (editionClass(third)) {
    case EditionClass::Standard:
        return QStringLiteral("2");
    case EditionClass::Corvanta:
        return QStringLiteral("1");
    case EditionClass::Partner:
        break;
    }
    return QString();
}

QString reasonListUrl(const QString &base, const QString &third)
{
    return base + QStringLiteral("/cms/uninstallReason/getPresentByType?type=") + typeValue(third);
}

QString reportUrl(const QString &base)
{
    return base + QStringLiteral("/cms/uninstallReason/getUserUninstallReasonByType");
}

QList<Reason> offeredReasons(const QByteArray &body)
{
    const QJsonArray rows = QJsonDocument::fromJson(body).object().value(QStringLiteral("rows")).toArray();
    QMap<int, Reason> byOrder;
    for (const QJsonValue &row : rows) {
        const QJsonObject o = row.toObject();
        byOrder.insert(integral(o.value(QStringLiteral("order"))),
                       Reason{integral(o.value(QStringLiteral("id"))), o.value(QStringLiteral("reason")).toString()});
    }
    QList<Reason> shown;
    for (auto it = byOrder.cbegin(); it != byOrder.cend() && shown.size() < 4; ++it)
        shown << it.value();
    return shown;
}

QJsonArray reportRows(const QStringList &tickedToolTips, const QString &other, const QString &contact)
{
    QJsonArray rows;
    for (const QString &tip : tickedToolTips) {
        bool ok = false;
        int id = tip.toInt(&ok, 10);
        if (!ok)
            id = 0;
        QJsonObject row;
        if (id == -1) {
            row.insert(QStringLiteral("id"), 0);
            row.insert(QStringLiteral("other"), other.left(100));
            row.insert(QStringLiteral("contact"), contact);
        } else {
            row.insert(QStringLiteral("id"), id);
        }
        rows.append(row);
    }
    return rows;
}

bool reports(const QString &third)
{
    return editionClass(third) != EditionClass::Partner;
}

QJsonObject report(const QJsonArray &rows, const QString &third)
{
    if (!reports(third))
        return QJsonObject();
    QJsonObject object;
    object.insert(QStringLiteral("rows"), rows);
    object.insert(QStringLiteral("type"), editionClass(third) == EditionClass::Corvanta ? 1 : 2);
    return object;
}

int dropAtCursor(QString &text, int cursor, int limit)
{
    const int surplus = text.size() - limit;
    if (surplus <= 0)
        return cursor;
    if (cursor < surplus) {
        // Text set as a whole leaves the cursor at the start: keep the first characters.
        text.truncate(limit);
        return qMin(cursor, limit);
    }
    text.remove(cursor - surplus, surplus);
    return cursor - surplus;
}

} // namespace Survey
