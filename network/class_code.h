#pragma once

#include <QString>
#include <optional>

namespace thermo::classroom {

// The class code the teacher writes on the board, "K7P-Q4X": six characters of Crockford's
// base 32 (no I, L, O or U to misread), some 30 bits drawn by the system's secure generator.
// Everything a group needs to be let in is derived from it; it is not a group's password.
struct ClassKeys {
    QString code;              // normalised, without the dash
    QString classId;           // the class's topic segment: hashed, so topics do not show it
    QString enrolmentAccount;  // may only ask into the class
    QString enrolmentPassword;
};

QString newClassCode();
// The code as typed, whatever its case and separators, with the letters people mistake for
// digits read as those digits; none when it is not six such characters.
std::optional<QString> normaliseClassCode(const QString& typed);
// "K7PQ4X" -> "K7P-Q4X".
QString displayedClassCode(const QString& code);
ClassKeys classKeys(const QString& normalisedCode);

// A secret of `length` characters from [A-Za-z0-9], from the system's secure generator.
QString randomSecret(int length);
// A group's account name: "g" and 12 hexadecimal digits, drawn at random.
QString newGroupAccount();

} // namespace thermo::classroom
