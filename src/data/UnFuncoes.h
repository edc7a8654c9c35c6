#pragma once
// General functions shared by many screens: text helpers for SQL text and settings lines,
// number and document-number formatting, the two runners of one-off statements on the
// general transaction, small lookups by key, and the file names of the per-company report
// images. None of them keeps state between calls.
#include "data/Query.h"
#include <QList>
#include <QPair>
#include <QString>
#include <functional>

// ---- text and number helpers ----

// The n-th field (from 1) of texto split at each occurrence of the one-character separator;
// fields may be empty. A separator of any other length never matches, so the whole text is
// field 1. Throws AppError("Campo não encontrado.") when the text has fewer than n fields.
QString RetornaCampo(const QString& texto, int n, const QString& separador);
// "1.234,5" -> "1234.5": every "." dropped, every "," made ".".
QString FormataNumeroSQL(const QString& numero);
// "1.234,5" -> "1,234.5": the two separators swapped.
QString TrocaSeparadorDecimal(const QString& numero);
// The text without double quotes.
QString RetiraAspas(const QString& texto);
// The text without ".", ",", "/" and "-".
QString RetiraMascara(const QString& documento);
// Punctuates a CNPJ (more than 13 digits: "11.222.333/0001-81") or a CPF ("123.456.789-09").
// A shorter text is cut into the same pieces, the missing ones empty; no check digit is
// verified; nothing left after removing the punctuation (blanks included) gives "".
QString FormataCNPJCPF(const QString& documento);
// Days of the month "mm/yyyy" or "mm/yy": 31, 30, 29/28 (year divisible by 4, no century
// rule), 0 for a month number outside 1..12. Throws AppError("'xx' não é um valor inteiro
// válido") when the month (characters 1-2) or the year (characters 4-7) is not a number.
int DiasDoMes(const QString& mesAno);
// Last modification of a file as "dd/MM/yyyy hh:mm:ss"; at exact midnight only the date.
// Throws AppError when the file does not exist.
QString RetornaDataArquivo(const QString& caminho);

// ---- open windows ----

// (component name, caption) of every open window, in creation order (first created first).
using OpenWindowsFn = std::function<QList<QPair<QString, QString>>()>;
// Installed by the main window; the data layer cannot see widgets. An empty function
// removes it (no windows are then listed).
void setOpenWindowsProvider(OpenWindowsFn provider);
// One line per window, the most recently created first: name + " - " + caption, lines
// separated by a single character 13.
QString ListaFormulariosAbertos(const QList<QPair<QString, QString>>& janelas);
// The same for the windows the installed provider reports.
QString ListaFormulariosAbertos();

// ---- statements on the general transaction (dataContext().IBT_Gen) ----

// Closes q, clears its text, assigns it to IBT_Gen, sets the text, opens it and fetches all
// rows.
void AbreQuery(Query& q, const QString& sqlText);
// Closes q, clears its text, assigns it to IBT_Gen, sets the text and executes it; with
// commit set, IBT_Gen is hard-committed afterwards.
void ExecutaSQL(Query& q, const QString& sqlText, bool commit);

// ---- lookups by key on dataContext().IBSolution (empty text when no row) ----

QString RetornaCNPJCPFPessoa(int idPessoa);
// "J" for a legal entity; anything else is a natural person.
QString RetornaTipoPessoa(int idPessoa);
QString RetornaNomeUsuario(int idUsuario);
// NM_EMPRESA of the parameter row.
QString RetornaNomeEmpresa();

// ---- report images beside the connection settings file ----

// <folder of sessaoUsuario().localarquivoiniteste>/Imagens/Cabeçalho-do-Laudo-<code>.jpg,
// code = the person's CD_PESSOA without surrounding blanks. Existence is not tested.
QString ImagemCabecalhoLaudo(int idPessoa);
// The same with "Rodapé-do-Laudo-".
QString ImagemRodapeLaudo(int idPessoa);
