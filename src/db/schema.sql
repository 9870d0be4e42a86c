-- The template goods base. A new base is always a copy of this file; the program never creates or
-- alters tables, and never adds or removes ticket line, keypad or key rows.

CREATE TABLE Products (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  PLU INTEGER,
  ZirkName1 TEXT,
  ZirkName2 TEXT,
  Type TEXT,
  Price TEXT,
  ZirkDuringDate INTEGER
);
CREATE INDEX ProductsPLU ON Products (PLU);

CREATE TABLE TicketLines (
  ID INTEGER PRIMARY KEY,
  Name TEXT,
  Data TEXT
);
INSERT INTO TicketLines (ID, Name, Data) VALUES (1, 'LabelSize', '1');
INSERT INTO TicketLines (ID, Name, Data) VALUES (2, 'Prefix', '20');
INSERT INTO TicketLines (ID, Name, Data) VALUES (3, 'BarcodeType', '0');
INSERT INTO TicketLines (ID, Name, Data) VALUES (4, 'Header', '');

CREATE TABLE KeyPads (
  ID INTEGER PRIMARY KEY,
  Name TEXT
);
INSERT INTO KeyPads (ID, Name) VALUES (1, 'Keypad 1');
INSERT INTO KeyPads (ID, Name) VALUES (2, 'Keypad 2');
INSERT INTO KeyPads (ID, Name) VALUES (3, 'Keypad 3');
INSERT INTO KeyPads (ID, Name) VALUES (4, 'Keypad 4');
INSERT INTO KeyPads (ID, Name) VALUES (5, 'Keypad 5');

-- Key k of layout n is row n * 100 + k; every layout owns exactly 33 empty keys.
CREATE TABLE Keys (
  ID INTEGER PRIMARY KEY,
  PLU INTEGER
);
INSERT INTO Keys (ID, PLU)
  WITH RECURSIVE key_number(k) AS (SELECT 1 UNION ALL SELECT k + 1 FROM key_number WHERE k < 33)
  SELECT KeyPads.ID * 100 + key_number.k, 0 FROM KeyPads, key_number;

CREATE TABLE ScalesSettings (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  Name TEXT,
  IP TEXT,
  State TEXT,
  Keypad TEXT
);

CREATE TABLE Totals (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  Scales TEXT,
  IP TEXT,
  PLU INTEGER,
  Name TEXT,
  Type TEXT,
  DayWeight REAL,
  DayNum INTEGER,
  MonthWeight REAL,
  MonthNum INTEGER,
  Last TEXT,
  Read TEXT
);
CREATE INDEX TotalsRead ON Totals (Read);
