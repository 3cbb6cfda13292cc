-- The point-of-sale tables this tool reads and writes, as an embedded SQLite
-- database that stands in for the point-of-sale application's SQL Server
-- database (tests, the demo, and anyone without a server).
-- Column types follow a SQL Server database of that kind; SQLite keeps the
-- declared names and converts texts such as '0' by the column's affinity.

CREATE TABLE IF NOT EXISTS MenuItems (
    id        INTEGER PRIMARY KEY AUTOINCREMENT,
    GroupCode NVARCHAR(50),
    Barcode   NVARCHAR(50),
    ItemType  INT NOT NULL DEFAULT 0,
    Name      NVARCHAR(50)
);

CREATE TABLE IF NOT EXISTS MenuItemPortions (
    id         INTEGER PRIMARY KEY AUTOINCREMENT,
    Name       NVARCHAR(50),
    MenuItemId INT NOT NULL REFERENCES MenuItems(id),
    Multiplier INT NOT NULL DEFAULT 1
);

CREATE TABLE IF NOT EXISTS MenuItemPrices (
    id                INTEGER PRIMARY KEY AUTOINCREMENT,
    MenuItemPortionId INT NOT NULL REFERENCES MenuItemPortions(id),
    PriceTag          NVARCHAR(50),
    Price             FLOAT NOT NULL
);

CREATE TABLE IF NOT EXISTS ScreenMenuCategories (
    id                    INTEGER PRIMARY KEY AUTOINCREMENT,
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

CREATE TABLE IF NOT EXISTS ScreenMenuItems (
    id                   INTEGER PRIMARY KEY AUTOINCREMENT,
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

CREATE TABLE IF NOT EXISTS Printers (
    id   INTEGER PRIMARY KEY AUTOINCREMENT,
    Name NVARCHAR(50)
);

CREATE TABLE IF NOT EXISTS TaxTemplates (
    id   INTEGER PRIMARY KEY AUTOINCREMENT,
    Name NVARCHAR(50)
);

CREATE TABLE IF NOT EXISTS PrinterMaps (
    id                INTEGER PRIMARY KEY AUTOINCREMENT,
    PrintJobId        INT NOT NULL,
    MenuItemGroupCode NVARCHAR(50),
    MenuItemId        INT NOT NULL REFERENCES MenuItems(id),
    PrinterId         INT NOT NULL REFERENCES Printers(id),
    PrinterTemplateId INT NOT NULL,
    DepartmentId      INT NOT NULL DEFAULT 0,
    TicketTypeId      INT NOT NULL DEFAULT 0
);
CREATE INDEX IF NOT EXISTS PrinterMaps_MenuItemId ON PrinterMaps(MenuItemId);
-- The references, as the point-of-sale database indexes them: without them
-- removing an item (an undone import) reads every portion, price and button.
CREATE INDEX IF NOT EXISTS MenuItemPortions_MenuItemId ON MenuItemPortions(MenuItemId);
CREATE INDEX IF NOT EXISTS MenuItemPrices_MenuItemPortionId ON MenuItemPrices(MenuItemPortionId);
CREATE INDEX IF NOT EXISTS ScreenMenuItems_MenuItemId ON ScreenMenuItems(MenuItemId);
CREATE INDEX IF NOT EXISTS ScreenMenuItems_ScreenMenuCategoryId ON ScreenMenuItems(ScreenMenuCategoryId);
CREATE INDEX IF NOT EXISTS ScreenMenuCategories_Name ON ScreenMenuCategories(Name);
-- The import preview asks for items by barcode.
CREATE INDEX IF NOT EXISTS MenuItems_Barcode ON MenuItems(Barcode);
