#pragma once

#include <QString>

#include <optional>
#include <stdexcept>

namespace ds {

// The one catalogue of numbered run-time errors. Every error box of the program shows a
// number from here and its description, written for the clinic's staff.
enum class ErrorCode : int {
    InvalidUseOfNull = 94,
    CannotWriteFile = 75,
    CannotStartWordProcessor = 429,
    DuplicateName = 3022,
    FileNotFound = 3024,
    DiskFull = 3026,
    WrongPassword = 3031,
    FileReadOnly = 3027,
    FileCannotBeOpened = 3051,
    CannotCopyFile = 3053,
    CannotCreateFolder = 3054,
    ObjectNotFound = 3078,
    SyntaxError = 3075,
    MultipleStatements = 3142,
    ValueTooLong = 3163,
    FileInUse = 3260,
    NotADatabase = 3343,
    EmptyFile = 3344,
    UnencryptedFile = 3345,
    NoCurrentRecord = 3021,
    UpdateWithoutEdit = 3020,
    NoCipher = 3346,
    DamagedFile = 3347,
    DatabaseFailure = 3146,
    RequiredValueMissing = 3314,
    ValidationRuleViolated = 3317,
};

QString describe(ErrorCode code);

// The engine's answers about the file itself, so a damaged page gets the same number
// wherever the engine reports it: a page that fails its check is a damaged file; a first page that
// cannot be read with the key is a wrong password (or a damaged header, which looks the same).
// nullopt for every other answer.
std::optional<ErrorCode> fileStateCode(int engineResult);

// A run-time error with its number and description, as the error traps of the screens show it.
class RunError : public std::runtime_error {
public:
    RunError(ErrorCode code, const QString &description);
    explicit RunError(ErrorCode code);
    RunError(int number, const QString &description);

    int number() const { return m_number; }
    const QString &description() const { return m_description; }

private:
    int m_number;
    QString m_description;
};

// Runs one step of a procedure that skips every failing statement and goes on with the next,
// reporting nothing; true when the step ran.
template <typename Step>
bool skipOnFailure(Step step)
{
    try {
        step();
        return true;
    } catch (const RunError &) {
        return false;
    }
}

} // namespace ds
