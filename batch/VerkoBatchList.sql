-- The batch-list database delivered beside the program: one row per batch list in
-- BatchListGroup, one row per file pair in BatchListContent, and the default list 1, which
-- the program neither renames nor deletes. Texts are UTF-8; an empty setting is stored as
-- null. The program keeps the relation between the tables itself (no cascading rule).

CREATE TABLE BatchListGroup (
  BatchID INTEGER PRIMARY KEY AUTOINCREMENT,
  BatchName TEXT NOT NULL COLLATE NOCASE,
  OldPath TEXT,
  NewPath TEXT,
  ResultPath TEXT,
  PairingMethod INTEGER DEFAULT 0,
  PairingFname TEXT,
  PairingExt TEXT,
  PairingFname2 TEXT,
  PairingExt2 TEXT,
  ResultMethod INTEGER DEFAULT 0,
  ResultFname TEXT,
  ResultExt TEXT,
  InitNo REAL DEFAULT 1
);

CREATE TABLE BatchListContent (
  BatchID INTEGER NOT NULL,
  OldFile TEXT NOT NULL,
  NewFile TEXT NOT NULL,
  ResultFile TEXT NOT NULL
);

CREATE INDEX BatchListContentOrder ON BatchListContent (BatchID, OldFile);

INSERT INTO BatchListGroup (BatchID, BatchName, PairingMethod, ResultMethod, InitNo)
  VALUES (1, '既定のリスト', 0, 0, 1);
