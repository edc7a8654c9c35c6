/*
  Demo data of a new site.

  Users of the demo site (login / password / group):
    CADASTRO  / cadastro  / -1 "Administradores Nexmoro"  (user -2: registers screens and buttons)
    SUPORTE   / suporte   / -1 "Administradores Nexmoro"  (user -1)
    ADMIN     / admin     /  1 "Administrador"
    LAB       / lab       /  2 "Laboratório"
    FERNANDA  / fernanda  /  2 "Laboratório"
    COMERCIAL / comercial /  3 "Comercial"
    ROBERTO   / roberto   /  3 "Comercial"

  Group 1 and group -1 hold every component of every screen; group 2 holds the laboratory
  screens (all rights) and a few listings; group 3 holds the commercial screens and listings
  without the delete right, and the equipment types read-only.

  Analyses run monthly for about twenty months up to today; samples collected in the last days
  may still be waiting for evaluation (no results yet). Every evaluated sample has one result
  per analysis type that has an ideal result for the analysis's equipment type.
*/
#include "sitegen/DemoData.h"
#include "sitegen/DemoBuilder.h"

namespace demodata {

void DemoBuilder::run() {
    geography();
    activitiesAndOptions();
    people();
    products();
    laboratoryVocabulary();
    clientEquipment();
    m_db.commit();
    analyses();
    m_db.commit();
    sales();
    visitsOfTheDay();
    usersAndGroups();
    permissions();
    collaboration();
    updateLog();
    parameters();
    m_db.commit();
}

} // namespace demodata

using namespace demodata;

void generateDemoData(SqlSink& db) {
    DemoBuilder(db).run();
}

QStringList demoOwnCompanyCodes() {
    QStringList codes;
    for (const auto& e : ownCompanies())
        codes << e.codigo;
    return codes;
}
