-- The ERP company database as Tallyward reads it, for SQLite.
--
-- Names are the ERP's own, spelled as the voucher checks spell them in their statements (SQLite
-- compares names without regard to case). Types follow what the SQLite driver expects:
--   * text columns are TEXT COLLATE NOCASE, so that codes and names compare as on the ERP's
--     server (NOCASE folds ASCII letters only; Chinese text compares exactly);
--   * flag columns are declared BIT (that exact type name: the driver reads them as Booleans)
--     and hold 0 or 1;
--   * dates are DATETIME and hold text 'YYYY-MM-DD HH:MM:SS';
--   * quantities, prices, rates and amounts are REAL, counters and identities INTEGER.
-- Only the key columns of a table are NOT NULL; every other column is nullable or has a
-- default, so that a row can be inserted naming only the columns one cares about. A flag left
-- out takes the value of the ordinary case (an item is purchasable, not a service, not stopped;
-- a department is a leaf).
--
-- Every column that a look-up compares with = has an index whose first column it is (or a
-- primary key), one for each branch of an OR, so that no field-entry look-up scans its table.
--
-- No foreign keys are declared: the ERP keeps its references by code, and a test may insert an
-- item without first inserting its unit group.

-- ---------------------------------------------------------------------------------------------
-- Settings and periods
-- ---------------------------------------------------------------------------------------------

-- Options of every subsystem: one row per system (PU purchasing, SA sales, ...) and option
-- name, the value held as text ('True'/'False', a number, a date or a word).
CREATE TABLE accinformation (
  cSysID   TEXT COLLATE NOCASE NOT NULL,
  cName    TEXT COLLATE NOCASE NOT NULL,
  cCaption TEXT COLLATE NOCASE,
  cValue   TEXT COLLATE NOCASE,
  PRIMARY KEY (cSysID, cName)
);
-- Several options are read by name alone, whatever the system.
CREATE INDEX ix_accinformation_name ON accinformation (cName);

-- Accounting periods of every account and year. In the ERP this table lives in the system
-- database (OrrerySystem); here it shares the company file.
CREATE TABLE ua_period (
  cacc_id TEXT COLLATE NOCASE NOT NULL,   -- account identifier, such as '001'
  iyear   INTEGER NOT NULL,
  iID     INTEGER NOT NULL,               -- period number 1 to 12
  dBegin  DATETIME,                       -- first day of the period, midnight
  dEnd    DATETIME,                       -- last day of the period, midnight
  PRIMARY KEY (cacc_id, iyear, iID)
);

-- Month-end state of each period of the company's year: a flag per subsystem, 1 when the
-- subsystem has closed that month.
CREATE TABLE gl_mend (
  iperiod  INTEGER PRIMARY KEY,
  bflag    BIT DEFAULT 0,                 -- general ledger
  bflag_PU BIT DEFAULT 0,                 -- purchasing
  bflag_ST BIT DEFAULT 0,                 -- inventory
  bflag_om BIT DEFAULT 0                  -- outsourcing
);
-- The first open outsourcing month is found through this index, in period order.
CREATE INDEX ix_gl_mend_om ON gl_mend (bflag_om, iperiod);

-- ---------------------------------------------------------------------------------------------
-- Organisation and terms
-- ---------------------------------------------------------------------------------------------

-- Departments, coded by level ('03', '0301'); only a leaf (bDepEnd = 1) may be entered on a
-- voucher.
CREATE TABLE Department (
  cDepCode  TEXT COLLATE NOCASE NOT NULL PRIMARY KEY,
  cDepName  TEXT COLLATE NOCASE,
  iDepGrade INTEGER DEFAULT 1,
  bDepEnd   BIT DEFAULT 1
);
CREATE INDEX ix_department_name ON Department (cDepName);

-- Persons (salesmen, buyers), each in a department.
CREATE TABLE Person (
  cPersonCode TEXT COLLATE NOCASE NOT NULL PRIMARY KEY,
  cPersonName TEXT COLLATE NOCASE,
  cDepCode    TEXT COLLATE NOCASE
);
CREATE INDEX ix_person_name ON Person (cPersonName);
CREATE INDEX ix_person_department ON Person (cDepCode);

-- Payment conditions, with the credit days that give an invoice its due date.
CREATE TABLE PayCondition (
  cPayCode    TEXT COLLATE NOCASE NOT NULL PRIMARY KEY,
  cPayName    TEXT COLLATE NOCASE,
  iPayCreDays INTEGER DEFAULT 0
);
CREATE INDEX ix_paycondition_name ON PayCondition (cPayName);

-- Purchase types.
CREATE TABLE PurchaseType (
  cPTCode TEXT COLLATE NOCASE NOT NULL PRIMARY KEY,
  cPTName TEXT COLLATE NOCASE
);
CREATE INDEX ix_purchasetype_name ON PurchaseType (cPTName);

-- Shipping methods.
CREATE TABLE ShippingChoice (
  cSCCode TEXT COLLATE NOCASE NOT NULL PRIMARY KEY,
  cSCName TEXT COLLATE NOCASE
);
CREATE INDEX ix_shippingchoice_name ON ShippingChoice (cSCName);

-- Warehouses.
CREATE TABLE WareHouse (
  cWhCode TEXT COLLATE NOCASE NOT NULL PRIMARY KEY,
  cWhName TEXT COLLATE NOCASE
);
CREATE INDEX ix_warehouse_name ON WareHouse (cWhName);

-- Account periods (账期) of payables: the terms by which an invoice's account-period date is
-- reckoned.
CREATE TABLE AccountPeriod (
  cAccountPID   TEXT COLLATE NOCASE NOT NULL PRIMARY KEY,
  cAccountPName TEXT COLLATE NOCASE
);
CREATE INDEX ix_accountperiod_name ON AccountPeriod (cAccountPName);

-- ---------------------------------------------------------------------------------------------
-- Vendors
-- ---------------------------------------------------------------------------------------------

-- Vendors. A vendor with an end date is stopped and may not be entered any more. A branch names
-- its head office in cVenHeadCode; the head office is the unit that advances payments.
CREATE TABLE Vendor (
  cVenCode     TEXT COLLATE NOCASE NOT NULL PRIMARY KEY,
  cVenName     TEXT COLLATE NOCASE,       -- full name
  cVenAbbName  TEXT COLLATE NOCASE,       -- abbreviation, what users type
  cVenHeadCode TEXT COLLATE NOCASE,       -- head office (a vendor code), Null for itself
  cVenAddress  TEXT COLLATE NOCASE,
  cVenIAddress TEXT COLLATE NOCASE,       -- shipping address: the arrival place of orders
  cVenPostCode TEXT COLLATE NOCASE,
  cVenRegCode  TEXT COLLATE NOCASE,       -- tax registration number
  cVenBank     TEXT COLLATE NOCASE,
  cVenAccount  TEXT COLLATE NOCASE,
  cVenPerson   TEXT COLLATE NOCASE,       -- contact at the vendor
  cVenPhone    TEXT COLLATE NOCASE,
  cVenFax      TEXT COLLATE NOCASE,
  cVenIType    TEXT COLLATE NOCASE,       -- shipping method (ShippingChoice code)
  cVenDepart   TEXT COLLATE NOCASE,       -- our department in charge (Department code)
  cVenPPerson  TEXT COLLATE NOCASE,       -- our salesman in charge (Person code)
  cVenPayCond  TEXT COLLATE NOCASE,       -- payment condition (PayCondition code)
  cVenWhCode   TEXT COLLATE NOCASE,       -- warehouse receiving its goods (WareHouse code)
  cAccountPID  TEXT COLLATE NOCASE,       -- account period (AccountPeriod code)
  cVenDefine1  TEXT COLLATE NOCASE,
  cVenDefine2  TEXT COLLATE NOCASE,
  cVenDefine3  TEXT COLLATE NOCASE,
  cVenDefine4  TEXT COLLATE NOCASE,
  cVenDefine5  TEXT COLLATE NOCASE,
  cVenDefine6  TEXT COLLATE NOCASE,
  cVenDefine7  TEXT COLLATE NOCASE,
  cVenDefine8  TEXT COLLATE NOCASE,
  cVenDefine9  TEXT COLLATE NOCASE,
  cVenDefine10 TEXT COLLATE NOCASE,
  cVenDefine11 TEXT COLLATE NOCASE,
  cVenDefine12 TEXT COLLATE NOCASE,
  cVenDefine13 TEXT COLLATE NOCASE,
  cVenDefine14 TEXT COLLATE NOCASE,
  cVenDefine15 TEXT COLLATE NOCASE,
  cVenDefine16 TEXT COLLATE NOCASE,
  dEndDate     DATETIME                   -- stop date; Null while the vendor is in use
);
CREATE INDEX ix_vendor_abbname ON Vendor (cVenAbbName);

-- ---------------------------------------------------------------------------------------------
-- Items and units
-- ---------------------------------------------------------------------------------------------

-- Unit groups. The group type says how its units convert: 0 no conversion, 1 fixed rates,
-- 2 floating rate (the auxiliary quantity is counted on each receipt).
CREATE TABLE ComputationGroup (
  cGroupCode TEXT COLLATE NOCASE NOT NULL PRIMARY KEY,
  cGroupName TEXT COLLATE NOCASE,
  iGroupType INTEGER DEFAULT 0
);

-- Units of measure, each in a group. The main unit of a group has rate 1; the others convert to
-- it by iChangRate. A floating-rate group has one auxiliary unit besides its main unit.
CREATE TABLE ComputationUnit (
  cComUnitCode TEXT COLLATE NOCASE NOT NULL PRIMARY KEY,
  cComUnitName TEXT COLLATE NOCASE,
  cGroupCode   TEXT COLLATE NOCASE,
  iChangRate   REAL DEFAULT 1,
  bMainUnit    BIT DEFAULT 0,
  iNumber      INTEGER DEFAULT 0          -- order of the unit within its group
);
CREATE INDEX ix_computationunit_name ON ComputationUnit (cComUnitName);
CREATE INDEX ix_computationunit_group ON ComputationUnit (cGroupCode, bMainUnit);

-- Inventory items. Their attributes decide where an item may be entered: purchasable
-- (bPurchase), outsourced (bProxyForeign), consignment (bInvEntrust), service or expense
-- (bService), discount (bInvType); an end date stops the item. bfree1 to bfree10 switch on
-- the free items (自由项, such as colour or grade) that a line of the item must carry.
CREATE TABLE Inventory (
  cInvCode       TEXT COLLATE NOCASE NOT NULL PRIMARY KEY,
  cInvAddCode    TEXT COLLATE NOCASE,     -- additional code (an old or drawing number)
  cInvName       TEXT COLLATE NOCASE,
  cInvStd        TEXT COLLATE NOCASE,     -- size and grade
  cInvCCode      TEXT COLLATE NOCASE,     -- item class
  cGroupCode     TEXT COLLATE NOCASE,     -- unit group (ComputationGroup code)
  iGroupType     INTEGER DEFAULT 0,       -- that group's type, kept on the item
  cComUnitCode   TEXT COLLATE NOCASE,     -- main unit
  cPUComUnitCode TEXT COLLATE NOCASE,     -- purchase unit (in a fixed-rate group)
  iTaxRate       REAL,                    -- tax rate in percent
  bPurchase      BIT DEFAULT 1,
  bSelf          BIT DEFAULT 0,           -- made in house
  bProxyForeign  BIT DEFAULT 0,
  bInvEntrust    BIT DEFAULT 0,
  bService       BIT DEFAULT 0,
  bInvType       BIT DEFAULT 0,
  bInvBatch      BIT DEFAULT 0,           -- batch managed
  bInvQuality    BIT DEFAULT 0,           -- shelf-life managed
  iMassDate      INTEGER,                 -- shelf life in months
  bPropertyCheck BIT DEFAULT 0,           -- received goods are inspected
  bfree1         BIT DEFAULT 0,
  bfree2         BIT DEFAULT 0,
  bfree3         BIT DEFAULT 0,
  bfree4         BIT DEFAULT 0,
  bfree5         BIT DEFAULT 0,
  bfree6         BIT DEFAULT 0,
  bfree7         BIT DEFAULT 0,
  bfree8         BIT DEFAULT 0,
  bfree9         BIT DEFAULT 0,
  bfree10        BIT DEFAULT 0,
  cInvDefine1    TEXT COLLATE NOCASE,
  cInvDefine2    TEXT COLLATE NOCASE,
  cInvDefine3    TEXT COLLATE NOCASE,
  cInvDefine4    TEXT COLLATE NOCASE,
  cInvDefine5    TEXT COLLATE NOCASE,
  cInvDefine6    TEXT COLLATE NOCASE,
  cInvDefine7    TEXT COLLATE NOCASE,
  cInvDefine8    TEXT COLLATE NOCASE,
  cInvDefine9    TEXT COLLATE NOCASE,
  cInvDefine10   TEXT COLLATE NOCASE,
  cInvDefine11   TEXT COLLATE NOCASE,
  cInvDefine12   TEXT COLLATE NOCASE,
  cInvDefine13   TEXT COLLATE NOCASE,
  cInvDefine14   TEXT COLLATE NOCASE,
  cInvDefine15   TEXT COLLATE NOCASE,
  cInvDefine16   TEXT COLLATE NOCASE,
  dSDate         DATETIME,                -- in use since
  dEDate         DATETIME                 -- stop date; Null while the item is in use
);
CREATE INDEX ix_inventory_name ON Inventory (cInvName);
CREATE INDEX ix_inventory_addcode ON Inventory (cInvAddCode);
CREATE INDEX ix_inventory_group ON Inventory (cGroupCode);

-- The vendor's own codes for our items.
CREATE TABLE venandinv (
  cInvCode    TEXT COLLATE NOCASE NOT NULL,
  cVenCode    TEXT COLLATE NOCASE NOT NULL,
  cVenInvCode TEXT COLLATE NOCASE,
  cVenInvName TEXT COLLATE NOCASE,
  PRIMARY KEY (cInvCode, cVenCode)
);
CREATE INDEX ix_venandinv_vendor_code ON venandinv (cVenInvCode, cVenCode);
CREATE INDEX ix_venandinv_vendor ON venandinv (cVenCode);

-- ---------------------------------------------------------------------------------------------
-- Currencies
-- ---------------------------------------------------------------------------------------------

-- Currencies, by name (人民币, 美元) and code.
CREATE TABLE ForeignCurrency (
  cexch_name TEXT COLLATE NOCASE NOT NULL PRIMARY KEY,
  cexch_code TEXT COLLATE NOCASE,
  iDec       INTEGER DEFAULT 2            -- decimals of amounts
);
CREATE INDEX ix_foreigncurrency_code ON ForeignCurrency (cexch_code);

-- Exchange rates to the local currency. Daily rates (itype 1) are dated 'yyyy.mm.dd' in cdate;
-- period rates (itype 2) carry the period number ('1' to '12') there.
CREATE TABLE exch (
  cexch_name TEXT COLLATE NOCASE NOT NULL,
  itype      INTEGER NOT NULL,
  cdate      TEXT COLLATE NOCASE NOT NULL,
  nflat      REAL,
  PRIMARY KEY (cexch_name, itype, cdate)
);
CREATE INDEX ix_exch_date ON exch (itype, cdate);

-- ---------------------------------------------------------------------------------------------
-- Projects and user-defined values
-- ---------------------------------------------------------------------------------------------

-- Project classes (项目大类). Each names the table that holds its projects: a table of its own
-- (fitemss + class code) or an existing master table such as Inventory.
CREATE TABLE fItem (
  cItem_Class TEXT COLLATE NOCASE NOT NULL PRIMARY KEY,
  cItem_Name  TEXT COLLATE NOCASE,
  cTable      TEXT COLLATE NOCASE
);

-- Projects of class 97 (research projects). A closed project (bclose = 1) takes no new entries.
CREATE TABLE fitemss97 (
  cItemCode  TEXT COLLATE NOCASE NOT NULL PRIMARY KEY,
  cItemName  TEXT COLLATE NOCASE,
  cItemCcode TEXT COLLATE NOCASE,         -- category within the class
  bclose     BIT DEFAULT 0
);
CREATE INDEX ix_fitemss97_name ON fitemss97 (cItemName);

-- Projects of class 98 (customer contracts).
CREATE TABLE fitemss98 (
  cItemCode  TEXT COLLATE NOCASE NOT NULL PRIMARY KEY,
  cItemName  TEXT COLLATE NOCASE,
  cItemCcode TEXT COLLATE NOCASE,
  bclose     BIT DEFAULT 0
);
CREATE INDEX ix_fitemss98_name ON fitemss98 (cItemName);

-- Lists of user-defined values: free items 1 and 2 use lists 20 and 21, free items 3 to 10
-- lists 28 to 35. A value may be typed as itself or by its alias.
CREATE TABLE UserDefine (
  cID    TEXT COLLATE NOCASE NOT NULL,
  cValue TEXT COLLATE NOCASE NOT NULL,
  cAlias TEXT COLLATE NOCASE,
  PRIMARY KEY (cID, cValue)
);
CREATE INDEX ix_userdefine_alias ON UserDefine (cID, cAlias);

-- ---------------------------------------------------------------------------------------------
-- Purchasing and outsourcing vouchers: the latest prices come from their lines
-- ---------------------------------------------------------------------------------------------

-- Purchase orders (head). An order is audited when it has a verifier and open until a closer
-- closes it.
CREATE TABLE PO_Pomain (
  POID      INTEGER PRIMARY KEY,
  cPOID     TEXT COLLATE NOCASE,          -- order code
  dPODate   DATETIME,
  cVenCode  TEXT COLLATE NOCASE,
  cDepCode  TEXT COLLATE NOCASE,
  cPersonCode TEXT COLLATE NOCASE,
  cexch_name TEXT COLLATE NOCASE,
  nflat     REAL DEFAULT 1,
  iTaxRate  REAL,
  cPeriod   TEXT COLLATE NOCASE,          -- planning period the order belongs to
  cMaker    TEXT COLLATE NOCASE,
  cVerifier TEXT COLLATE NOCASE,
  cCloser   TEXT COLLATE NOCASE
);
CREATE UNIQUE INDEX ix_po_pomain_code ON PO_Pomain (cPOID);
CREATE INDEX ix_po_pomain_vendor ON PO_Pomain (cVenCode);
CREATE INDEX ix_po_pomain_period ON PO_Pomain (cPeriod);

-- Purchase order lines.
CREATE TABLE PO_Podetails (
  ID          INTEGER PRIMARY KEY,
  POID        INTEGER,
  cInvCode    TEXT COLLATE NOCASE,
  iQuantity   REAL,
  iUnitPrice  REAL,                       -- price without tax
  iTaxPrice   REAL,                       -- price with tax
  iPerTaxRate REAL,                       -- tax rate in percent
  iMoney      REAL,
  iTax        REAL,
  iSum        REAL,
  dArriveDate DATETIME
);
CREATE INDEX ix_po_podetails_item ON PO_Podetails (cInvCode, ID);
CREATE INDEX ix_po_podetails_order ON PO_Podetails (POID);

-- Purchase arrival notes (head).
CREATE TABLE PU_ArrivalVouch (
  ID         INTEGER PRIMARY KEY,
  cCode      TEXT COLLATE NOCASE,
  dDate      DATETIME,
  cVenCode   TEXT COLLATE NOCASE,
  cBusType   TEXT COLLATE NOCASE,
  cexch_name TEXT COLLATE NOCASE,
  iExchRate  REAL DEFAULT 1,
  iTaxRate   REAL
);
CREATE INDEX ix_pu_arrivalvouch_vendor ON PU_ArrivalVouch (cVenCode);

-- Purchase arrival note lines.
CREATE TABLE PU_ArrivalVouchs (
  Autoid      INTEGER PRIMARY KEY,
  ID          INTEGER,
  cInvCode    TEXT COLLATE NOCASE,
  iQuantity   REAL,
  iOriCost    REAL,                       -- price without tax, in the note's currency
  iOriTaxCost REAL,                       -- price with tax
  iTaxRate    REAL,
  iOriMoney   REAL,
  iOriTaxPrice REAL,                      -- tax amount
  iOriSum     REAL
);
CREATE INDEX ix_pu_arrivalvouchs_item ON PU_ArrivalVouchs (cInvCode, Autoid);
CREATE INDEX ix_pu_arrivalvouchs_note ON PU_ArrivalVouchs (ID);

-- Purchase invoices (head). cPBVBillType '01' is a special (VAT) invoice, whose line price is
-- without tax; '02' an ordinary invoice, priced with tax.
CREATE TABLE PurBillVouch (
  PBVID        INTEGER PRIMARY KEY,
  cPBVCode     TEXT COLLATE NOCASE,
  cPBVBillType TEXT COLLATE NOCASE,
  dPBVDate     DATETIME,
  cVenCode     TEXT COLLATE NOCASE,
  cexch_name   TEXT COLLATE NOCASE,
  nflat        REAL DEFAULT 1,           -- exchange rate
  iPBVTaxRate  REAL
);
CREATE INDEX ix_purbillvouch_vendor ON PurBillVouch (cVenCode);

-- Purchase invoice lines.
CREATE TABLE PurBillVouchs (
  ID          INTEGER PRIMARY KEY,
  PBVID       INTEGER,
  cInvCode    TEXT COLLATE NOCASE,
  iPBVQuantity REAL,
  iOriCost    REAL,
  iTaxRate    REAL,
  iOriMoney   REAL,
  iOriTaxPrice REAL,
  iOriSum     REAL
);
CREATE INDEX ix_purbillvouchs_item ON PurBillVouchs (cInvCode, ID);
CREATE INDEX ix_purbillvouchs_invoice ON PurBillVouchs (PBVID);

-- Outsourcing invoices (head). cPBVBillType '11' is a special invoice (price without tax), '12'
-- an ordinary one (price with tax); '13' a freight invoice.
CREATE TABLE OM_PurBillVouch (
  PBVID        INTEGER PRIMARY KEY,
  cPBVCode     TEXT COLLATE NOCASE,
  cPBVBillType TEXT COLLATE NOCASE,
  dPBVDate     DATETIME,
  cVenCode     TEXT COLLATE NOCASE,
  cUnitCode    TEXT COLLATE NOCASE,       -- advancing unit
  cexch_name   TEXT COLLATE NOCASE,
  nflat        REAL DEFAULT 1,           -- exchange rate
  iPBVTaxRate  REAL,
  cSource      TEXT COLLATE NOCASE
);
CREATE INDEX ix_om_purbillvouch_vendor ON OM_PurBillVouch (cVenCode);

-- Outsourcing invoice lines.
CREATE TABLE OM_PurBillVouchs (
  ID          INTEGER PRIMARY KEY,
  PBVID       INTEGER,
  cInvCode    TEXT COLLATE NOCASE,
  iPBVQuantity REAL,
  iOriCost    REAL,
  iTaxRate    REAL,
  iOriMoney   REAL,
  iOriTaxPrice REAL,
  iOriSum     REAL
);
CREATE INDEX ix_om_purbillvouchs_item ON OM_PurBillVouchs (cInvCode, ID);
CREATE INDEX ix_om_purbillvouchs_invoice ON OM_PurBillVouchs (PBVID);

-- Outsourcing orders (head).
CREATE TABLE OM_ProductPO (
  ID         INTEGER PRIMARY KEY,
  cCode      TEXT COLLATE NOCASE,
  dDate      DATETIME,
  cVenCode   TEXT COLLATE NOCASE,
  cDepCode   TEXT COLLATE NOCASE,
  cPersonCode TEXT COLLATE NOCASE,
  cexch_name TEXT COLLATE NOCASE,
  nflat      REAL DEFAULT 1,
  cVerifier  TEXT COLLATE NOCASE,
  cCloser    TEXT COLLATE NOCASE
);
CREATE INDEX ix_om_productpo_vendor ON OM_ProductPO (cVenCode);

-- Outsourcing order product lines: the item made for us and the processing charge per unit.
CREATE TABLE OM_POMain (
  MainID      INTEGER PRIMARY KEY,
  ID          INTEGER,
  cInvCode    TEXT COLLATE NOCASE,
  iQuantity   REAL,
  iMakeCharge REAL,                       -- processing charge per unit, without tax
  dArriveDate DATETIME
);
CREATE INDEX ix_om_pomain_item ON OM_POMain (cInvCode, MainID);
CREATE INDEX ix_om_pomain_order ON OM_POMain (ID);

-- Production plan periods and their state (1 planned, 2 released, 3 closed).
CREATE TABLE PP_PPCMain (
  ID      INTEGER PRIMARY KEY,
  cPeriod TEXT COLLATE NOCASE,
  iState  INTEGER DEFAULT 1
);
CREATE INDEX ix_pp_ppcmain_period ON PP_PPCMain (cPeriod);

-- ---------------------------------------------------------------------------------------------
-- Stand-in host: what the ERP's host services decide, held as tables
-- ---------------------------------------------------------------------------------------------

-- Data rights: operator cOperator may use code cCode of kind cKind ('Inventory', 'Vendor',
-- 'Department', 'Person') with right cRight ('W', entering). cCode '*' grants every code of the
-- kind.
CREATE TABLE tw_data_right (
  cOperator TEXT COLLATE NOCASE NOT NULL,
  cKind     TEXT COLLATE NOCASE NOT NULL,
  cCode     TEXT COLLATE NOCASE NOT NULL,
  cRight    TEXT COLLATE NOCASE NOT NULL DEFAULT 'W',
  PRIMARY KEY (cOperator, cKind, cCode, cRight)
);

-- Vendor price list: the price of an item from a vendor in a currency, valid from dFrom to dTo
-- (both inclusive, Null open), for quantities of at least fMinQuantity.
CREATE TABLE tw_price (
  id           INTEGER PRIMARY KEY,
  cVenCode     TEXT COLLATE NOCASE,
  cInvCode     TEXT COLLATE NOCASE,
  cexch_name   TEXT COLLATE NOCASE,
  dFrom        DATETIME,
  dTo          DATETIME,
  fMinQuantity REAL DEFAULT 0,
  iUnitPrice   REAL,                      -- price without tax
  iTaxRate     REAL                       -- tax rate in percent
);
CREATE INDEX ix_tw_price_key ON tw_price (cVenCode, cInvCode, cexch_name, fMinQuantity);

-- Quality control: goods of item cInvCode from vendor cVenCode are inspected on arrival.
CREATE TABLE tw_inspection (
  cVenCode TEXT COLLATE NOCASE NOT NULL,
  cInvCode TEXT COLLATE NOCASE NOT NULL,
  PRIMARY KEY (cVenCode, cInvCode)
);
