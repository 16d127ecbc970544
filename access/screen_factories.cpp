#include "access/screen_factories.h"

#include "access/frmlogin.h"
#include "access/frmmmwh.h"
#include "access/clinic_record.h"
#include "access/frmyhzl.h"
#include "startup/frmabout.h"
#include "startup/frmsplash.h"
#include "startup/screens.h"
#include "startup/shell.h"

namespace users {

void registerScreens()
{
    startup::setClinicReader([](ds::Database &db) -> std::optional<startup::ClinicTexts> {
        const std::optional<ClinicInfo> clinic = loadClinic(db);
        if (!clinic)
            return std::nullopt;
        return startup::ClinicTexts{(*clinic)[ClinicField::Name], (*clinic)[ClinicField::Telephone],
                                    (*clinic)[ClinicField::User]};
    });
    startup::registerScreen(QStringLiteral("frmSplash"), [](QWidget *main) { return startup::FrmSplash::create(main); });
    startup::registerScreen(QStringLiteral("frmAbout"), [](QWidget *main) { return new startup::FrmAbout(main); });
    startup::registerScreen(QStringLiteral("frmLogin"), [](QWidget *main) { return new FrmLogin(main); });
    startup::registerScreen(QStringLiteral("Frmmmwh"), [](QWidget *main) { return new Frmmmwh(main); });
    startup::registerScreen(QStringLiteral("FrmYhzl"), [](QWidget *main) { return new FrmYhzl(main); });
}

} // namespace users
