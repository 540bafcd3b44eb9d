#include "looks.h"

#include <QAccessible>
#include <QAction>
#include <QDir>
#include <QMenu>
#include <QMetaEnum>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace Looks {

QString windowState(
    QWidget *window, const QString &aboutWindow, std::initializer_list<const char *> properties)
{
    const auto name = [](QObject *o) { // the object's name, else what a screen reader calls it
        QAccessibleInterface *a
            = o && o->objectName().isEmpty() ? QAccessible::queryAccessibleInterface(o) : nullptr;
        return !o ? "-" : a ? '"' + a->text(QAccessible::Name) + '"' : o->objectName();
    };
    QString out = "title \"" + window->windowTitle() + '"' + (window->isModal() ? " modal" : "") + aboutWindow
        + "\nfocus " + name(window->focusWidget()) + "\ntab";
    for (QWidget *w = window->nextInFocusChain(); w != window; w = w->nextInFocusChain())
        if (w->isVisibleTo(window) && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus))
            out += ' ' + name(w);
    for (QTimer *timer : window->findChildren<QTimer *>())
        if (timer->isActive())
            out += QStringLiteral("\ntimer %1 %2 ms").arg(name(timer)).arg(timer->interval());
    for (const QMenu *menu : window->findChildren<QMenu *>()) // the entries as a menu opens them
        for (const QAction *a : menu->objectName().isEmpty() ? QList<QAction *>() : menu->actions())
            out += "\nmenu " + menu->objectName() + ": " + (a->isSeparator() ? "-" : a->text())
                + (a->shortcut().isEmpty() ? "" : ' ' + a->shortcut().toString())
                + (a->isEnabled() ? "" : " disabled") + (a->isChecked() ? " checked" : "")
                + (menu->toolTipsVisible() ? " (" + a->toolTip() + ')' : "");
    const std::function<void(QAccessibleInterface *, const QString &)> walk = [&](auto *node, auto path) {
        if (!node || !node->isValid() || node->state().invisible || node->role() == QAccessible::ScrollBar)
            return;
        const QAccessible::State is = node->state();
        QObject *o = node->object();
        const QString role = QMetaEnum::fromType<QAccessible::Role>().valueToKey(node->role()),
                      id = o ? o->objectName() : QString(), about = node->text(QAccessible::Description);
        // Qt's own parts are left out, but for the text of a message box.
        const bool own = id.startsWith("qt_");
        const QString where = own && node->role() != QAccessible::StaticText
            ? path
            : path + '/' + (id.isEmpty() || own ? role : id);
        if (where != path) {
            out += '\n' + where + ' ' + role + " \"" + node->text(QAccessible::Name) + '"'
                + (about.isEmpty() ? "" : " (" + about + ')') + (is.disabled ? " disabled" : "")
                + (is.checkable ? (is.checked ? " checked" : " unchecked") : "")
                + (is.readOnly && node->role() == QAccessible::EditableText ? " read-only" : "")
                + (is.defaultButton ? " default" : "")
                + (o && o->property("autoDefault").toBool() ? " auto-default" : "");
            for (const char *p : properties) // what a picture may not show
                if (const QVariant v = o ? o->property(p) : QVariant(); v.isValid())
                    out += ' ' + QLatin1String(p) + '=' + v.toString();
            if (QAccessibleValueInterface *v = node->valueInterface())
                out += " value " + v->currentValue().toString() + " of " + v->minimumValue().toString() + ".."
                    + v->maximumValue().toString();
        }
        for (const auto &[other, relation] : node->relations(QAccessible::Labelled)) // a label's buddy
            out += " labels " + (other->object() ? other->object()->objectName() : QString());
        for (int i = 0; i < node->childCount(); ++i)
            walk(node->child(i), where);
    };
    walk(QAccessible::queryAccessibleInterface(window), QString());
    return out + '\n';
}

void compare(const QString &folder, const QString &row, const QImage &picture, const QString &names)
{
    const QImage actual = picture.convertToFormat(QImage::Format_RGB32);
    const bool update = qEnvironmentVariableIntValue("UPDATE_LOOKS") == 1;
    const QString reference = folder + '/' + row, written = update ? reference : row + ".actual";
    QFile namesFile(reference + ".names.txt"), namesWritten(written + ".names.txt");
    const QString expectedNames = namesFile.open(QIODevice::ReadOnly) ? namesFile.readAll() : QString();
    const QImage expected = QImage(reference + ".png").convertToFormat(QImage::Format_RGB32);
    QImage diff = actual;
    int off = 0;
    for (int y = 0; y < actual.height(); ++y)
        for (int x = 0; x < actual.width(); ++x)
            if (const QRgb a = actual.pixel(x, y), e = expected.valid(x, y) ? expected.pixel(x, y) : ~a;
                std::max({ qAbs(qRed(a) - qRed(e)), qAbs(qGreen(a) - qGreen(e)), qAbs(qBlue(a) - qBlue(e)) })
                > 16)
                ++off, diff.setPixel(x, y, qRgb(255, 0, 0));
    if (update || off > 0 || actual.size() != expected.size() || names != expectedNames) {
        QVERIFY(actual.save(written + ".png") && (update || diff.save(row + ".diff.png"))
            && namesWritten.open(QIODevice::WriteOnly) && namesWritten.write(names.toUtf8()) >= 0);
        if (update)
            return;
        qWarning("%s differs: see %s.actual.png, .diff.png and .actual.names.txt in %s",
            qPrintable(reference), qPrintable(row), qPrintable(QDir::currentPath()));
    }
    QCOMPARE(names, expectedNames);
    QCOMPARE(actual.size(), expected.size());
    QCOMPARE(off, 0);
}

QString shownTip(const QString &tip)
{
    QTextDocument shown;
    shown.setHtml(tip);
    return Qt::mightBeRichText(tip) ? shown.toPlainText() : tip;
}

} // namespace Looks
