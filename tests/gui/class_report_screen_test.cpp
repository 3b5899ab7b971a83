// The users window's "Informe de la clase": a place of its own under the transfer buttons, the
// save dialog's answer written as CSV or PDF, and the teacher told where it went.

#include <QFile>

#include "content/class_report.h"
#include "platform/dialogs.h"
#include "tests/users/users_screen_helpers.h"

namespace tz {
namespace {

using test::ClickControl;

class ClassReportScreenTest : public test::UsersScreenTest {
  protected:
    void Open(const std::function<void(QWidget*)>& act) {
        test::WhenActive("USUARIOS", act);
        RunUsersWindow(&owner_, store_, CurrentUser, CurrentMode, SaveClassReportAsked);
        EXPECT_EQ(test::UsersWindowOnScreen(), nullptr);
    }
};

TEST_F(ClassReportScreenTest, TheButtonWritesTheReportTheDialogAsksFor) {
    WriteUsers(
        "Datos de Usuarios v2.6\r\n"
        "ANA PÉREZ|3|2|4|105|90|100|110|120|-1|-1|-1|-1|-1|-1|NORMAL|ID-20240101000001\r\n");
    SetDialogScripting(true);
    QueueTextAnswer(Path("clase.pdf"));
    QueueTextAnswer(Path("clase.csv"));
    QueueTextAnswer(Path("clase.doc"));
    Open([](QWidget* window) {
        QWidget* report = FindControl(window, kUsersReportId);
        ASSERT_NE(report, nullptr);
        EXPECT_EQ(qobject_cast<QAbstractButton*>(report)->text(),
                  QStringLiteral("Informe de la clase"));
        // Inside the window and clear of every other control.
        EXPECT_TRUE(window->rect().contains(report->geometry()));
        for (QWidget* child : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (child != report) {
                EXPECT_FALSE(child->geometry().intersects(report->geometry())) << ControlId(child);
            }
        }
        test::SaveScreen(window, "users_window_report");
        for (int time = 0; time < 3; ++time) ClickControl(window, kUsersReportId);
        ClickControl(window, kUsersCancelId);
    });
    const std::vector<AskedDialog>& asked = AskedDialogs();
    ASSERT_EQ(asked.size(), 6u);
    EXPECT_EQ(asked[0].kind, QStringLiteral("save"));
    EXPECT_EQ(asked[0].title, QStringLiteral("Informe de la clase"));
    EXPECT_EQ(asked[0].text, QStringLiteral("Hoja de cálculo CSV (*.csv);;Documento PDF (*.pdf)"));
    EXPECT_TRUE(asked[1].text.startsWith(QStringLiteral("El informe de la clase se ha guardado")));
    EXPECT_TRUE(asked[3].text.startsWith(QStringLiteral("El informe de la clase se ha guardado")));
    EXPECT_TRUE(asked[5].text.contains(QStringLiteral(".csv"))) << "a kind it cannot write";
    EXPECT_TRUE(ReadBytes("clase.pdf").startsWith("%PDF"));
    EXPECT_TRUE(ReadBytes("clase.csv").startsWith("\xEF\xBB\xBFNombre;Modo;"));
    EXPECT_TRUE(ReadBytes("clase.csv").contains("ANA PÉREZ;NORMAL;3;2;4;105;120;120;+10,0;;"));
    EXPECT_FALSE(Exists("clase.doc"));
}

}  // namespace
}  // namespace tz
