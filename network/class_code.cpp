#include "network/class_code.h"

#include <QCryptographicHash>
#include <QRandomGenerator>

namespace thermo::classroom {

namespace {

constexpr char alphabet[] = "0123456789ABCDEFGHJKMNPQRSTVWXYZ";
constexpr int codeLength = 6;

QString draw(const char* characters, int count, int length) {
    QString text;
    for (int i = 0; i < length; ++i) {
        text += QLatin1Char(characters[QRandomGenerator::system()->bounded(count)]);
    }
    return text;
}

QString derived(const QString& purpose, const QString& code, int hexDigits) {
    const QByteArray hash = QCryptographicHash::hash(
        ("thermometre/" + purpose + "/" + code).toUtf8(), QCryptographicHash::Sha256);
    return QString::fromLatin1(hash.toHex().left(hexDigits));
}

} // namespace

QString newClassCode() {
    return draw(alphabet, 32, codeLength);
}

std::optional<QString> normaliseClassCode(const QString& typed) {
    QString code;
    for (QChar c : typed.toUpper()) {
        if (c == QLatin1Char('-') || c.isSpace()) {
            continue;
        }
        if (c == QLatin1Char('O')) {
            c = QLatin1Char('0');
        } else if (c == QLatin1Char('I') || c == QLatin1Char('L')) {
            c = QLatin1Char('1');
        }
        if (c.unicode() > 0x7F || std::string_view(alphabet).find(char(c.unicode())) ==
                                      std::string_view::npos) {
            return std::nullopt;
        }
        code += c;
    }
    if (code.size() != codeLength) {
        return std::nullopt;
    }
    return code;
}

QString displayedClassCode(const QString& code) {
    return code.left(3) + QLatin1Char('-') + code.mid(3);
}

ClassKeys classKeys(const QString& code) {
    ClassKeys keys;
    keys.code = code;
    keys.classId = derived(QStringLiteral("classe"), code, 10);
    keys.enrolmentAccount = QStringLiteral("c%1-accueil").arg(keys.classId);
    keys.enrolmentPassword = derived(QStringLiteral("accueil"), code, 32);
    return keys;
}

QString randomSecret(int length) {
    static constexpr char characters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    return draw(characters, 62, length);
}

QString newGroupAccount() {
    static constexpr char hex[] = "0123456789abcdef";
    return QLatin1Char('g') + draw(hex, 16, 12);
}

} // namespace thermo::classroom
