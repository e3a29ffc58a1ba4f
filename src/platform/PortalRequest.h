#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

// One request to the desktop portal: a method call whose real answer comes
// later, as the Response signal of a request object that the call names. The
// object's path follows from our bus name and a token we choose, so the
// signal is listened for before the call goes out and cannot be missed.
class PortalRequest : public QObject
{
    Q_OBJECT

public:
    static const QString Service;
    static const QString Path;

    PortalRequest(const QDBusConnection& bus, QObject* parent = nullptr);

    // Calls method of interface with arguments followed by options, to which
    // the handle token is added. finished or failed follows once.
    void start(const QString& interface, const QString& method, const QVariantList& arguments,
               QVariantMap options);

    // A fresh token, unique within this program.
    static QString newToken();

signals:
    // The portal's answer: 0 success, 1 cancelled by the user, 2 refused.
    void finished(uint response, const QVariantMap& results);
    // The call itself failed: no portal, no such interface.
    void failed(const QString& reason);

private slots:
    void onResponse(uint response, const QVariantMap& results);

private:
    void listen(const QString& path);

    QDBusConnection m_bus;
    QString m_path;
    bool m_done = false;
};
