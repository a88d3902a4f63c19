IF EXISTS (SELECT * FROM T WHERE A = 1) DELETE FROM T WHERE A = 1
SET NOCOUNT OFF
insert into T values (2) GO update T set A = 3