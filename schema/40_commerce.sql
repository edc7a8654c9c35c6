/*
  Commercial tables of the shared database that the laboratory reads: kinds
  of operation, products and the sales documents (invoices) with their items.
  The laboratory only reads them, to tell whether a client bought the products
  used on its equipment.
*/

-- Kind of operation of a document (CFOP). ST_ESTAT_VENDA = 'S' when its
-- documents count as sales.
CREATE TABLE TAB_NAT_OPERACAO (
  ID_NAT_OPERACAO      INTEGER       NOT NULL,
  CD_NAT_OPERACAO      VARCHAR(10)   NOT NULL,
  NM_NATUREZA_INTERNO  VARCHAR(50)   NOT NULL,
  NM_NATUREZA_NF       VARCHAR(60),
  TP_OPERACAO          CHAR(1),
  ST_ESTAT_VENDA       CHAR(1),
  ST_MOVIMENTA_ESTOQUE CHAR(1),
  CONSTRAINT PK_TAB_NAT_OPERACAO PRIMARY KEY (ID_NAT_OPERACAO)
);

-- A product as sold; ID_PRODUTO_BASE says which base product it is.
CREATE TABLE CAD_PRODUTO (
  ID_PRODUTO           INTEGER       NOT NULL,
  CD_PRODUTO           VARCHAR(15)   NOT NULL,
  NM_PRODUTO           VARCHAR(60)   NOT NULL,
  ID_PRODUTO_BASE      INTEGER,
  DS_UNIDADE           VARCHAR(3),
  QT_EMBALAGEM         NUMERIC(15,3),
  VL_VENDA             NUMERIC(15,4),
  ST_ATIVO             CHAR(1)       DEFAULT 'S',
  CONSTRAINT PK_CAD_PRODUTO PRIMARY KEY (ID_PRODUTO)
);

-- A sales or shipping document issued by one of the own companies
-- (ID_EMPRESA) to a person (ID_DESTINATARIO_REMETENTE).
CREATE TABLE MOV_NF_COMERCIO (
  ID_NF_COMERCIO            INTEGER       NOT NULL,
  ID_EMPRESA                INTEGER,
  ID_NAT_OPERACAO           INTEGER       NOT NULL,
  ID_DESTINATARIO_REMETENTE INTEGER       NOT NULL,
  ID_VENDEDOR               INTEGER,
  DS_SERIE_NF               VARCHAR(3),
  NR_NOTA_FISCAL            INTEGER,
  DT_EMISSAO                DATE          NOT NULL,
  DT_SAIDA                  DATE,
  VL_PRODUTOS               NUMERIC(15,2),
  VL_TOTAL_NF               NUMERIC(15,2),
  ST_CANCELADA              CHAR(1),
  TX_OBS                    BLOB SUB_TYPE TEXT,
  CONSTRAINT PK_MOV_NF_COMERCIO PRIMARY KEY (ID_NF_COMERCIO)
);

CREATE TABLE MOV_NF_COMERCIO_ITEM (
  ID_NF_COMERCIO_ITEM  INTEGER       NOT NULL,
  ID_NF_COMERCIO       INTEGER       NOT NULL,
  ID_PRODUTO           INTEGER       NOT NULL,
  QT_PRODUTO           NUMERIC(15,3) NOT NULL,
  VL_UNITARIO          NUMERIC(15,4),
  VL_TOTAL             NUMERIC(15,2),
  CONSTRAINT PK_MOV_NF_COMERCIO_ITEM PRIMARY KEY (ID_NF_COMERCIO_ITEM)
);
