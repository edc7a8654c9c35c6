#pragma once
// A logged-in main window on a fresh embedded database with the full schema: the program
// settings file, the connection settings file, the data modules and scripted dialogs.
#include "DatabaseSuite.h"
#include "ProgramaAberto.h"
#include "app/Programa.h"
#include "app/UnMenuPrincipal.h"
#include "data/DataContext.h"
#include "data/UndmPadrao.h"
#include "platform/Dialogs.h"
#include "platform/IniFile.h"
#include "platform/OsFacts.h"
#include <QApplication>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <gtest/gtest.h>
#include <memory>

class FrameworkTest : public DatabaseSuite<FrameworkTest>, protected ProgramaAberto {
protected:
    static void SetUpTestSuite() {
        DatabaseSuite::SetUpTestSuite();
        s_db->exec("insert into tab_parametro (id_parametro, nm_empresa, st_confirma_sair) values (1, "
                   "'Hidrolab', 'S')");
        for (auto [id, nome] :
             {std::pair{-1, "Suporte"}, {1, "Administrador"}, {2, "Laboratório"}, {3, "Consulta"}})
            s_db->exec(
                QString("insert into sis_gr_usuario values (%1, '%2')").arg(id).arg(QString::fromUtf8(nome)));
        s_db->exec("insert into sis_formulario values (-1, 'frmTipoAnalise', 'Tipo de Ánalise', 3, 'S')");
        const char* comps[] = {"cpfIncluir", "cpfAlterar", "cpfExcluir", "cpfConsulta", "cpfExportaExcel"};
        for (int i = 0; i < 5; ++i)
            s_db->exec(QString("insert into sis_componente values (%1, -1, '%2', '%2', '%2', 'S', 'S')")
                           .arg(-1 - i)
                           .arg(comps[i]));
        int ev = 1;
        // Group 2 holds every right; group 3 may only look (no insert, edit or delete).
        for (int c = -1; c >= -5; --c)
            s_db->exec(QString("insert into sis_evento_autorizado values (%1, 2, %2)").arg(ev++).arg(c));
        s_db->exec(QString("insert into sis_evento_autorizado values (%1, 3, -4)").arg(ev++));
        for (int c = -1; c >= -5; --c)
            s_db->exec(QString("insert into sis_evento_autorizado values (%1, 1, %2)").arg(ev++).arg(c));
    }

    void SetUp() override {
        s_db->exec("delete from tab_tp_analise");
        for (int i = 1; i <= 5; ++i)
            s_db->exec(QString("insert into tab_tp_analise values (%1, 'Análise %1')").arg(i));
        s_db->exec("update tab_parametro set st_confirma_sair = 'S'");
        QDir(s_db->folder()).mkpath("Sistema");
        exe = s_db->folder() + "/Sistema/cortivandela";
        os.setExecutablePath(exe);
        IniFile conn(s_db->folder() + "/TESTE.ini");
        conn.writeString("Database", "servidor", "");
        conn.writeString("Database", "path", s_db->folder() + "/");
        conn.writeString("Database", "name", "test.fdb");
        QFile::remove(settingsPath());
        IniFile(settingsPath()).writeString("IniServidor", "nomearquivo", s_db->folder() + "/TESTE.ini");
        login(2);
    }

    void TearDown() override { logout(); }

    void login(int grupo, int usuario = 1) {
        abrePrograma(usuario, grupo, "Maria", s_db->folder() + "/TESTE.ini", "Laboratório");
    }
    void logout() { fechaPrograma(); }

    QString settingsPath() const { return programSettingsPath(exe); }

    FakeOsFacts os;
    ScopedOsFacts osScope{os};
    ScriptedDialogs dialogs;
    ScopedDialogs dialogScope{dialogs};
    QString exe;
};
