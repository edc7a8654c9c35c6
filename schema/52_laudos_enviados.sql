/*
  Technical reports sent by e-mail from the analysis registration: one row for every mail
  that the server accepted. The file itself is kept in the folder "Laudos Enviados" beside the
  database under NM_ARQUIVO; CD_SHA256_PDF proves which bytes were sent.
  Keys come from the sequence (several workstations send at the same time).
*/

CREATE SEQUENCE GEN_SIS_CTV_LAUDO_ENVIADO;

CREATE TABLE SIS_CTV_LAUDO_ENVIADO (
  ID_LAUDO_ENVIADO  INTEGER        NOT NULL,
  ID_ANALISE        INTEGER        NOT NULL,
  DS_DESTINATARIOS  VARCHAR(1000)  NOT NULL,
  DS_ASSUNTO        VARCHAR(250),
  DH_ENVIO          TIMESTAMP      NOT NULL,
  ID_USUARIO        INTEGER,
  NM_USUARIO        VARCHAR(40),
  CD_SHA256_PDF     CHAR(64)       NOT NULL,
  NM_ARQUIVO        VARCHAR(250)   NOT NULL,
  QT_BYTES          INTEGER,
  CONSTRAINT PK_SIS_CTV_LAUDO_ENVIADO PRIMARY KEY (ID_LAUDO_ENVIADO)
);

CREATE INDEX IX_CTV_LAUDO_ENVIADO_ANALISE ON SIS_CTV_LAUDO_ENVIADO (ID_ANALISE, DH_ENVIO);
