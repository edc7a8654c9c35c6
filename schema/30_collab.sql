/*
  Collaboration tables shared by all applications: internal mail between
  users and the task agenda. Both are read with "select *" and written with
  explicit column lists.
*/

-- A message from one user to another; unread while DT_RECEB is NULL.
CREATE TABLE SIS_COMUNICACAO (
  ID_COMUNICACAO       INTEGER       NOT NULL,
  DT_COMUNICACAO       DATE          NOT NULL,
  HO_COMUNICACAO       TIME          NOT NULL,
  ID_REMETENTE         INTEGER       NOT NULL,
  ID_DESTINATARIO      INTEGER       NOT NULL,
  DS_ASSUNTO           VARCHAR(50)   NOT NULL,
  DS_COMUNICACAO       BLOB SUB_TYPE TEXT,
  DT_RECEB             DATE,
  HO_RECEB             TIME,
  CONSTRAINT PK_SIS_COMUNICACAO PRIMARY KEY (ID_COMUNICACAO)
);

-- A task: pending while DH_CONCLUSAO is NULL. ID_NF_COMERCIO optionally
-- points at a sales document; the applications store 0 for "none", so it has
-- no foreign key.
CREATE TABLE TAB_TAREFA (
  ID_TAREFA            INTEGER       NOT NULL,
  ID_USUARIO_CRIACAO   INTEGER,
  ID_PESSOA            INTEGER,
  ID_USUARIO_AVISO     INTEGER,
  ID_USUARIO_CONCLUSAO INTEGER,
  ID_USUARIO_INICIO    INTEGER,
  DS_TAREFA            VARCHAR(50)   NOT NULL,
  TX_DETALHE           BLOB SUB_TYPE TEXT,
  ST_COMERCIAL         CHAR(1),
  ST_OPERACIONAL       CHAR(1),
  ST_ADMINISTRATIVO    CHAR(1),
  ST_FINANCEIRO        CHAR(1),
  ST_COMPRAS           CHAR(1),
  DH_CRIACAO           TIMESTAMP,
  DT_AVISO             DATE,
  DH_INICIO            TIMESTAMP,
  DH_CONCLUSAO         TIMESTAMP,
  ID_NF_COMERCIO       INTEGER,
  CONSTRAINT PK_TAB_TAREFA PRIMARY KEY (ID_TAREFA)
);
