#include "network/link_failure_text.h"

#include <cerrno>
#include <mosquitto.h>
#include <mqtt_protocol.h>

namespace thermo::classroom {

QString linkFailureText(const BrokerAddress& broker, int rc, int error, bool wasConnected) {
    const QString where = broker.text();
    if (rc == MOSQ_ERR_EAI) {
        return QStringLiteral("L'adresse « %1 » est introuvable : vérifiez-la.").arg(where);
    }
    if (wasConnected) {
        return QStringLiteral("La connexion au serveur %1 est coupée ; nouvel essai en cours…")
            .arg(where);
    }
    if (rc == MOSQ_ERR_ERRNO || rc == MOSQ_ERR_CONN_LOST || rc == MOSQ_ERR_NO_CONN) {
        switch (error) {
        case ECONNREFUSED:
            return QStringLiteral("Le serveur %1 refuse la connexion : la classe est-elle "
                                  "ouverte ? Nouvel essai en cours…")
                .arg(where);
        case EHOSTUNREACH:
        case ENETUNREACH:
        case ETIMEDOUT:
            return QStringLiteral("Le serveur %1 est injoignable : vérifiez l'adresse et le "
                                  "réseau. Nouvel essai en cours…")
                .arg(where);
        default:
            break;
        }
    }
    return QStringLiteral("Pas de connexion au serveur %1 ; nouvel essai en cours…").arg(where);
}

QString tlsFailureText(const BrokerAddress& broker) {
    return QStringLiteral("La connexion sécurisée au serveur %1 a échoué : son certificat n'est "
                          "pas reconnu.")
        .arg(broker.text());
}

QString accountRefusedText(const BrokerAddress& broker) {
    return QStringLiteral("Le serveur %1 a refusé l'identifiant ou le mot de passe.")
        .arg(broker.text());
}

QString publishRefusedText(int reason) {
    if (reason == MQTT_RC_NOT_AUTHORIZED) {
        return QStringLiteral("Le serveur a refusé un envoi : ce compte n'a pas le droit "
                              "d'écrire là.");
    }
    return QStringLiteral("Le serveur a refusé un envoi (%1).")
        .arg(QString::fromUtf8(mosquitto_reason_string(reason)));
}

} // namespace thermo::classroom
