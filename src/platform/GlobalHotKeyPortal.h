#pragma once

#include "GlobalHotKey.h"

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QString>
#include <QVariantMap>

// The hot key on Wayland, through the desktop portal's global shortcuts: a
// session of ours, one shortcut bound in it with Ctrl plus the letter as the
// wished-for keys (the desktop may let the user choose others), and the
// Activated signal of that session. A desktop without the portal, or with a
// portal that has no global shortcuts, leaves the key unavailable.
class GlobalHotKeyPortal : public GlobalHotKey
{
    Q_OBJECT

public:
    static const QString ShortcutId;

    GlobalHotKeyPortal(const QDBusConnection& bus, QObject* parent = nullptr);
    void registerKey(char letter) override;

    // The keys as the portal writes them, e.g. "CTRL+g" or "CTRL+Print".
    static QString triggerText(char letter);

private slots:
    void onActivated(const QDBusObjectPath& session, const QString& shortcut, qulonglong timestamp,
                     const QVariantMap& options);

private:
    void createSession();
    void bindShortcut(const QString& session);

    QDBusConnection m_bus;
    QString m_session;
    char m_letter = 'G';
};
