-- The point-of-sale tables this tool reads and writes, in T-SQL: the same
-- tables, columns, defaults, references and indexes as schema.sql, for a SQL
-- Server that stands in for the point-of-sale application's database (the
-- live test suite and the benchmark create them in a database of their own).
-- Ids are INT IDENTITY, as the references to them are INT; the tool reads
-- every id as a 64-bit number either way.

CREATE TABLE MenuItems (
    id        INT IDENTITY(1,1) PRIMARY KEY,
    GroupCode NVARCHAR(50),
    Barcode   NVARCHAR(50),
    ItemType  INT NOT NULL DEFAULT 0,
    Name      NVARCHAR(50)
);

CREATE TABLE MenuItemPortions (
    id         INT IDENTITY(1,1) PRIMARY KEY,
    Name       NVARCHAR(50),
    MenuItemId INT NOT NULL REFERENCES MenuItems(id),
    Multiplier INT NOT NULL DEFAULT 1
);

CREATE TABLE MenuItemPrices (
    id                INT IDENTITY(1,1) PRIMARY KEY,
    MenuItemPortionId INT NOT NULL REFERENCES MenuItemPortions(id),
    PriceTag          NVARCHAR(50),
    Price             FLOAT NOT NULL
);

CREATE TABLE ScreenMenuCategories (
    id                    INT IDENTITY(1,1) PRIMARY KEY,
    Name                  NVARCHAR(50),
    Appearance            INT NOT NULL DEFAULT 0,
    SortOrder             INT NOT NULL DEFAULT 0,
    ScreenMenuId          INT NOT NULL DEFAULT 0,
    MostUsedItemsCategory BIT NOT NULL DEFAULT 0,
    ColumnCount           INT NOT NULL DEFAULT 0,
    MenuItemButtonHeight  INT NOT NULL DEFAULT 0,
    MenuItemButtonColor   NVARCHAR(50),
    MenuItemFontSize      FLOAT NOT NULL DEFAULT 0,
    WrapText              BIT NOT NULL DEFAULT 0,
    PageCount             INT NOT NULL DEFAULT 1,
    SortAlphabetically    BIT NOT NULL DEFAULT 0,
    MainButtonHeight      INT NOT NULL DEFAULT 0,
    MainButtonColor       NVARCHAR(50),
    MainFontSize          FLOAT NOT NULL DEFAULT 0,
    SubButtonHeight       INT NOT NULL DEFAULT 0,
    SubButtonRows         INT NOT NULL DEFAULT 1,
    SubButtonColorDef     NVARCHAR(4000),
    NumeratorType         INT NOT NULL DEFAULT 0,
    NumberPadPercent      INT NOT NULL DEFAULT 0,
    MaxItems              INT NOT NULL DEFAULT 0
);

CREATE TABLE ScreenMenuItems (
    id                   INT IDENTITY(1,1) PRIMARY KEY,
    Name                 NVARCHAR(50),
    Appearance           INT NOT NULL DEFAULT 0,
    ScreenMenuCategoryId INT NOT NULL REFERENCES ScreenMenuCategories(id),
    MenuItemId           INT NOT NULL REFERENCES MenuItems(id),
    SortOrder            INT NOT NULL DEFAULT 0,
    AutoSelect           BIT NOT NULL DEFAULT 0,
    ButtonColor          NVARCHAR(50),
    Quantity             INT NOT NULL DEFAULT 1,
    FontSize             FLOAT NOT NULL DEFAULT 1,
    SubMenuTag           NVARCHAR(4000)
);

CREATE TABLE Printers (
    id   INT IDENTITY(1,1) PRIMARY KEY,
    Name NVARCHAR(50)
);

CREATE TABLE TaxTemplates (
    id   INT IDENTITY(1,1) PRIMARY KEY,
    Name NVARCHAR(50)
);

CREATE TABLE PrinterMaps (
    id                INT IDENTITY(1,1) PRIMARY KEY,
    PrintJobId        INT NOT NULL,
    MenuItemGroupCode NVARCHAR(50),
    MenuItemId        INT NOT NULL REFERENCES MenuItems(id),
    PrinterId         INT NOT NULL REFERENCES Printers(id),
    PrinterTemplateId INT NOT NULL,
    DepartmentId      INT NOT NULL DEFAULT 0,
    TicketTypeId      INT NOT NULL DEFAULT 0
);
CREATE INDEX PrinterMaps_MenuItemId ON PrinterMaps(MenuItemId);
-- The references, as the point-of-sale database indexes them: without them
-- removing an item (an undone import) reads every portion, price and button.
CREATE INDEX MenuItemPortions_MenuItemId ON MenuItemPortions(MenuItemId);
CREATE INDEX MenuItemPrices_MenuItemPortionId ON MenuItemPrices(MenuItemPortionId);
CREATE INDEX ScreenMenuItems_MenuItemId ON ScreenMenuItems(MenuItemId);
CREATE INDEX ScreenMenuItems_ScreenMenuCategoryId ON ScreenMenuItems(ScreenMenuCategoryId);
CREATE INDEX ScreenMenuCategories_Name ON ScreenMenuCategories(Name);
-- The import preview asks for items by barcode.
CREATE INDEX MenuItems_Barcode ON MenuItems(Barcode);
