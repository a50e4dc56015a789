#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

// The uninstall reason survey without its widgets: what is asked of the service and what is sent.
namespace Survey {

struct Reason
{
    int id = 0;
    QString text;
};

// "2" for the standard edition, "1" for Corvanta, nothing for partners.
QString typeValue(const QString &third);
QString reasonListUrl(const QString &base, const QString &third);
QString reportUrl(const QString &base);

// The reasons to show, lowest "order" first, at most four; a later row replaces an earlier one
// of the same order. Empty for a body that is no JSON object or has no "rows".
QList<Reason> offeredReasons(const QByteArray &body);

// One row per ticked box, given by the ids in their tool tips ("-1" marks the free-text box).
QJsonArray reportRows(const QStringList &tickedToolTips, const QString &other, const QString &contact);
// Null for partner editions, which report nothing.
QJsonObject report(const QJsonArray &rows, const QString &third);
bool reports(const QString &third);

// Text longer than the limit loses the surplus just before the cursor, where it was typed.
// Returns the cursor position after the cut.
int dropAtCursor(QString &text, int cursor, int limit);

} // namespace Survey
