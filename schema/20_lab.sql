/*
  Laboratory tables: the vocabulary (equipment types, analysis types, ideal
  results, base products used per equipment type), the clients' equipment and
  the analyses with their samples and measured values.

  Columns the screens require are NOT NULL. Rich-text columns hold RTF
  documents and are text blobs.
*/

CREATE TABLE TAB_TP_EQUIPAMENTO (
  ID_TP_EQUIPAMENTO      INTEGER       NOT NULL,
  NM_TP_EQUIPAMENTO      VARCHAR(50)   NOT NULL,
  NM_RELATORIO_ANALISE   VARCHAR(50),
  CONSTRAINT PK_TAB_TP_EQUIPAMENTO PRIMARY KEY (ID_TP_EQUIPAMENTO)
);

-- Base products used in the maintenance of an equipment type. The same
-- product may be linked twice to one type, so there is no unique key.
CREATE TABLE TAB_PRODUTO_EQUIPAMENTO (
  ID_PRODUTO_EQUIPAMENTO INTEGER       NOT NULL,
  ID_TP_EQUIPAMENTO      INTEGER       NOT NULL,
  ID_PRODUTO_BASE        INTEGER       NOT NULL,
  CONSTRAINT PK_TAB_PRODUTO_EQUIPAMENTO PRIMARY KEY (ID_PRODUTO_EQUIPAMENTO)
);

CREATE TABLE TAB_TP_ANALISE (
  ID_TP_ANALISE          INTEGER       NOT NULL,
  NM_TP_ANALISE          VARCHAR(50)   NOT NULL,
  CONSTRAINT PK_TAB_TP_ANALISE PRIMARY KEY (ID_TP_ANALISE)
);

-- Ideal result of an analysis type on an equipment type, as free text
-- ("7,0 a 8,5"). Pairs are not unique: the screens allow a second row for
-- the same analysis and equipment type.
CREATE TABLE TAB_RESULTADO_IDEAL (
  ID_RESULTADO_IDEAL     INTEGER       NOT NULL,
  ID_TP_ANALISE          INTEGER       NOT NULL,
  ID_TP_EQUIPAMENTO      INTEGER       NOT NULL,
  DS_RESULTADO_IDEAL     VARCHAR(50)   NOT NULL,
  CONSTRAINT PK_TAB_RESULTADO_IDEAL PRIMARY KEY (ID_RESULTADO_IDEAL)
);

-- A client's piece of equipment. ID_SITAUCAO_EQUIPAMENTO (spelled so) is an
-- option of list 75 of TAB_OPCAO_TABELA.
CREATE TABLE TAB_EQUIPAMENTO_CLI (
  ID_EQUIPAMENTO_CLI      INTEGER      NOT NULL,
  ID_CLIENTE              INTEGER      NOT NULL,
  ID_TP_EQUIPAMENTO       INTEGER      NOT NULL,
  NM_EQUIPAMENTO          VARCHAR(50)  NOT NULL,
  DT_PROPOSTA             DATE,
  NO_PROPOSTA             VARCHAR(15),
  DS_PRODUTOS             VARCHAR(50),
  ID_SITAUCAO_EQUIPAMENTO INTEGER,
  DT_SITUACAO_EQUIPAMENTO DATE,
  TX_OBS_SITUACAO_EQUIP   BLOB SUB_TYPE TEXT,
  CONSTRAINT PK_TAB_EQUIPAMENTO_CLI PRIMARY KEY (ID_EQUIPAMENTO_CLI)
);

-- One sampling campaign of one client and one equipment type.
CREATE TABLE MOV_ANALISE (
  ID_ANALISE             INTEGER       NOT NULL,
  DT_COLETA              DATE          NOT NULL,
  DT_RECEBIMENTO         DATE          NOT NULL,
  DT_AVALIACAO           DATE,
  DT_ENVIO               DATE,
  ID_CLIENTE             INTEGER       NOT NULL,
  ID_REPRESENTANTE       INTEGER       NOT NULL,
  ID_RESPONSAVEL_TECNICO INTEGER       NOT NULL,
  ID_TP_EQUIPAMENTO      INTEGER       NOT NULL,
  CONSTRAINT PK_MOV_ANALISE PRIMARY KEY (ID_ANALISE)
);

-- One analysed piece of equipment (one sample). NO_PAGINA / NO_AMOSTRA are
-- filled when the report is printed (four samples per page).
CREATE TABLE MOV_ANALISE_EQUIPAMENTO (
  ID_ANALISE_EQUIPAMENTO INTEGER       NOT NULL,
  ID_ANALISE             INTEGER,
  ID_EQUIPAMENTO_CLI     INTEGER       NOT NULL,
  NO_PAGINA              INTEGER,
  NO_AMOSTRA             INTEGER,
  TX_COMENTARIO          BLOB SUB_TYPE TEXT,
  TX_OBS                 BLOB SUB_TYPE TEXT,
  CONSTRAINT PK_MOV_ANALISE_EQUIPAMENTO PRIMARY KEY (ID_ANALISE_EQUIPAMENTO)
);

-- One measured value of one analysis type on one sample; a missing row means
-- the value was not measured.
CREATE TABLE MOV_ANALISE_RESULTADO (
  ID_ANALISE_RESULTADO   INTEGER       NOT NULL,
  ID_TP_ANALISE          INTEGER       NOT NULL,
  ID_ANALISE_EQUIPAMENTO INTEGER       NOT NULL,
  VL_RESULTADO           NUMERIC(15,4),
  CONSTRAINT PK_MOV_ANALISE_RESULTADO PRIMARY KEY (ID_ANALISE_RESULTADO)
);
