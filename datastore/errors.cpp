#include "datastore/errors.h"

#include <sqlcipher/sqlite3.h>

namespace ds {

QString describe(ErrorCode code)
{
    switch (code) {
    case ErrorCode::InvalidUseOfNull:
        return QStringLiteral("值是空值（Null），不能使用。");
    case ErrorCode::CannotWriteFile:
        return QStringLiteral("文件不能写入，请检查磁盘空间和文件夹的写入权限。");
    case ErrorCode::CannotStartWordProcessor:
        return QStringLiteral("无法启动文字处理程序，请确认已经安装 LibreOffice Writer。");
    case ErrorCode::DuplicateName:
        return QStringLiteral("已有同名记录，不能重复保存。");
    case ErrorCode::FileNotFound:
        return QStringLiteral("找不到数据文件。");
    case ErrorCode::DiskFull:
        return QStringLiteral("磁盘空间不足，数据不能写入。");
    case ErrorCode::WrongPassword:
        return QStringLiteral("数据文件密码不正确，或者数据文件已经损坏。");
    case ErrorCode::FileReadOnly:
        return QStringLiteral("数据文件是只读的，不能写入。");
    case ErrorCode::FileCannotBeOpened:
        return QStringLiteral("数据文件不能打开。");
    case ErrorCode::CannotCopyFile:
        return QStringLiteral("文件不能复制。");
    case ErrorCode::CannotCreateFolder:
        return QStringLiteral("数据文件夹不能建立。");
    case ErrorCode::ObjectNotFound:
        return QStringLiteral("数据文件中找不到所需的表或查询。");
    case ErrorCode::SyntaxError:
        return QStringLiteral("查询语句有错误。");
    case ErrorCode::MultipleStatements:
        return QStringLiteral("一次只能执行一条语句。");
    case ErrorCode::ValueTooLong:
        return QStringLiteral("输入的内容太长，超过了字段的长度。");
    case ErrorCode::FileInUse:
        return QStringLiteral("数据文件正被其他程序使用，请稍后再试。");
    case ErrorCode::NotADatabase:
        return QStringLiteral("这个文件不是本系统的数据文件，或者数据文件已经损坏。");
    case ErrorCode::EmptyFile:
        return QStringLiteral("数据文件是空的（长度为 0），已经损坏。");
    case ErrorCode::UnencryptedFile:
        return QStringLiteral("这个文件是未加密的数据库，不是本系统的数据文件。");
    case ErrorCode::NoCurrentRecord:
        return QStringLiteral("没有当前记录。");
    case ErrorCode::UpdateWithoutEdit:
        return QStringLiteral("更新记录前没有开始添加或编辑。");
    case ErrorCode::NoCipher:
        return QStringLiteral("数据库引擎不支持加密，数据文件不能安全保存。");
    case ErrorCode::DamagedFile:
        return QStringLiteral("数据文件已经损坏，程序没有改动它。请用“数据备份/恢复”恢复最近一次备份的数据。");
    case ErrorCode::DatabaseFailure:
        return QStringLiteral("数据文件操作失败。");
    case ErrorCode::RequiredValueMissing:
        return QStringLiteral("必须输入的字段是空的，记录没有保存。");
    case ErrorCode::ValidationRuleViolated:
        return QStringLiteral("输入的内容不符合字段的规则，记录没有保存。");
    }
    return QStringLiteral("未知错误。");
}

std::optional<ErrorCode> fileStateCode(int engineResult)
{
    switch (engineResult & 0xff) {
    case SQLITE_CORRUPT:
        return ErrorCode::DamagedFile;
    case SQLITE_NOTADB:
        return ErrorCode::WrongPassword;
    default:
        return std::nullopt;
    }
}

RunError::RunError(ErrorCode code, const QString &description)
    : RunError(static_cast<int>(code), description)
{
}

RunError::RunError(ErrorCode code)
    : RunError(code, describe(code))
{
}

RunError::RunError(int number, const QString &description)
    : std::runtime_error(description.toStdString())
    , m_number(number)
    , m_description(description)
{
}

} // namespace ds
