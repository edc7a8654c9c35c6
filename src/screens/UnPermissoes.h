#pragma once
// Access permissions by user group, read from the shared permission tables (this system is
// application 3): may the group open a screen, use one of its buttons, insert, edit, delete
// or export in a record screen. Also the registration pass that records a screen and its
// buttons in SIS_FORMULARIO and SIS_COMPONENTE (run for the registration user -2).
//
// Special groups: -1 may open every screen and holds every record right; 1 may use every
// button of the screens it may open. Everything runs on the query given (the main window's
// general query IBQ_Gen); text values go into the statements with standard quoting.
#include "data/Query.h"
#include <QSet>
#include <QString>

class QWidget;
class QAbstractButton;

// Whether the group holds any component of the form (count of authorised events).
bool VerificaUsuario(Query& gen, int grupo, const QString& nomeForm);
// Group -1: true. Otherwise VerificaUsuario; when refused, the message "Usuário sem
// permissão para acessar " + captionForm (exclamation, OK) and false.
bool VerificaPermissoes(Query& gen, int grupo, const QString& nomeForm, const QString& captionForm);
// A record right of a record screen: whether the group holds the virtual component
// (cpfIncluir, cpfAlterar, cpfExcluir, cpfExportaExcel) of the form. Group -1 is not
// special here: its callers skip the question for it.
bool RetornaDireito(Query& gen, int grupo, const QString& nomeForm, const QString& componente);
// The button query; withApplication adds the final " and sf.id_aplicativo = 3" (the record
// screen and the report parameter screen use it; the standard screen does not).
QString SqlDireitoBotao(int grupo, const QString& nomeForm, const QString& componente, bool withApplication);
// Whether the button query finds a row.
bool DireitoBotao(Query& gen, int grupo, const QString& nomeForm, const QString& componente,
                  bool withApplication = true);
// The button query with application condition, or true for group -1. sGrupoUsuario must be
// an integer text; anything else throws AppError("'x' não é um valor inteiro válido").
bool EstadoBotao(Query& gen, const QString& sGrupoUsuario, const QString& sNomeForm,
                 const QString& sNomeComponente);

// The buttons the permission system knows on a screen: its QPushButtons and QToolButtons with
// a component name (Qt's own internal buttons, named "qt_..." or unnamed, and the buttons inside
// a control, such as a date edit's calendar or a tab bar's scroll arrows, are not the screen's),
// in creation order.
QList<QAbstractButton*> BotoesDaTela(QWidget* screen);
// The components of the form the group holds a right to, as the button query would find them
// one by one (names compared as the database compares them: exact, trailing blanks aside), read
// in one statement.
QSet<QString> ComponentesAutorizados(Query& gen, int grupo, const QString& nomeForm, bool withApplication);
// Button rights of a screen named screen->objectName(): group 1 gives every button the dynamic
// property "tag" = 1; for any other group a button the group holds no right to is disabled, one
// it holds a right to gets the "tag" 1.
void ApplyButtonRights(Query& gen, int grupo, QWidget* screen, bool withApplication);
// Whether the group's rights allow the button (ApplyButtonRights gave it the "tag" 1): a screen
// enables a button by its own rules only where this holds.
bool autorizado(const QAbstractButton* b);

// The text without "&" and "'".
QString RetiraCaracteresEspeciais(const QString& texto);
// Key of a component of a form, 0 when there is none; on a query of its own on db.
int RetornaIDComponente(Database* db, int idForm, const QString& nomeComponente);

// The name a screen is registered under: its component name without a short instance suffix
// ("frmX_1" -> "frmX"; "_" followed by fewer than 3 characters).
QString NomeRegistroForm(const QString& nomeJanela);
// Registers the screen in SIS_FORMULARIO (negative key for a new row) with its shortened and
// cleaned caption. Nothing when screen is null.
void IncluiForm(Query& gen, QWidget* screen);
// Registers the screen's buttons in SIS_COMPONENTE: all rows of the form are marked inactive,
// every button still on the screen is inserted or reactivated (class name "TBitBtn" for push
// buttons, "TSpeedButton" for tool buttons; caption, or hint when the caption is empty or
// "..."; buttons with neither are skipped), a record screen also gets its five virtual
// components, and rows left inactive are deleted (a failure of that delete is ignored, the
// rows then stay inactive). Nothing is registered when the form itself is not registered.
void IncluiEventos(Query& gen, QWidget* screen, bool isRecordScreen);
