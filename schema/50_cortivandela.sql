/*
  Tables of this program's own, beside the shared database's.

  Files named 5N_*.sql hold them. A new site runs every file of this folder in order; an
  existing site gets each of these files at the program's start (VerificaEsquemaProprio),
  which runs the ones not yet listed in SIS_CTV_SCRIPT one statement at a time, each
  committed, and lists them. A statement that creates a table, sequence, index or exception,
  or adds a column or constraint with ALTER TABLE ... ADD, is skipped when its object
  already exists, so a script that stopped half-way completes at the next start. Procedures
  and triggers are written CREATE OR ALTER; seed rows UPDATE OR INSERT ... MATCHING. A script
  on shared tables names them on a line "-- Requer: T1, T2"; on a database without one of them
  it waits, neither run nor listed, until they exist.
*/

CREATE TABLE SIS_CTV_SCRIPT (
  NM_SCRIPT VARCHAR(60) NOT NULL,
  DT_EXECUCAO TIMESTAMP DEFAULT CURRENT_TIMESTAMP NOT NULL,
  CONSTRAINT PK_SIS_CTV_SCRIPT PRIMARY KEY (NM_SCRIPT)
);

/* Settings of this program that are not the shared parameter row's: one value per key. */
CREATE TABLE SIS_CTV_PARAMETRO (
  CHAVE VARCHAR(60) NOT NULL,
  VALOR VARCHAR(1000),
  CONSTRAINT PK_SIS_CTV_PARAMETRO PRIMARY KEY (CHAVE)
);
