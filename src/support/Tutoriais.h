#pragma once
// The maker's tutorial pages, opened in the browser through the shell seam. The host comes from
// the site's support settings ("SiteTutoriais"), so a site can point its workstations elsewhere.
#include <QString>

// A host of the settings without any scheme or trailing slash an administrator may have typed.
QString hostSemEsquema(QString host);

// Opens the tutorial page of a window and topic; nothing for a window without tutorial.
//   "frmMenuPrincipal" 1: the toolbar; 2: opening the system (http)
//   "frmSplash", "frmPesquisaSatisfacaoNexmoro": opening and closing the system (https)
//   "frmCadastrodeAnalise": printing the logo, signature and footer on the report (https)
void AbreTutorial(const QString& nomeTela, int topico);
