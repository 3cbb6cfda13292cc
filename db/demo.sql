-- The demo installation: what a small restaurant's database holds before the
-- first import.
INSERT INTO Printers (id, Name) VALUES (1, 'Mutfak Yazıcısı'), (2, 'Bar Yazıcısı'), (3, 'Kasa Fişi');
INSERT INTO TaxTemplates (id, Name) VALUES (1, 'KDV %10'), (2, 'KDV %20');
INSERT INTO ScreenMenuCategories (Name, ScreenMenuId, MenuItemButtonColor, MenuItemFontSize, WrapText,
                                  PageCount, MainButtonColor, MainFontSize, SubButtonHeight, SubButtonRows,
                                  SubButtonColorDef, NumeratorType, NumberPadPercent)
VALUES ('Sıcak İçecekler', 1, '#FF548DD4', 24, 1, 1, '#FF6495ED', 26, 75, 1, '', 2, 45),
       ('Tatlılar',        1, '#FF548DD4', 24, 1, 1, '#FF6495ED', 26, 75, 1, '', 2, 45);
