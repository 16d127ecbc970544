-- The clinic's data file. Column order is part of the file format: screens read columns by
-- position. Text columns sort in pinyin order ("zh"); indexes compare bytes so that a seek
-- finds exactly the text given and any tool can check them.

CREATE TABLE 中医药材 (
  名称 TEXT COLLATE zh,
  归经 TEXT COLLATE zh,
  性味 TEXT COLLATE zh,
  功效 TEXT COLLATE zh,
  主治 TEXT COLLATE zh,
  用法 TEXT COLLATE zh,
  宜忌 TEXT COLLATE zh,
  心得 TEXT COLLATE zh
);
CREATE UNIQUE INDEX ycmci ON 中医药材 (名称 COLLATE BINARY);

CREATE TABLE 药材功效 (药材功效 TEXT COLLATE zh);
CREATE TABLE 药材主治 (药材主治 TEXT COLLATE zh);

CREATE TABLE 密码表 (
  姓名 TEXT COLLATE zh,
  密码 TEXT,
  级别 TEXT
);

CREATE TABLE 用户资料 (
  单位 TEXT COLLATE zh,
  地址 TEXT COLLATE zh,
  电话 TEXT,
  姓名 TEXT COLLATE zh
);

CREATE TABLE 系统资料 (
  "01" INTEGER,
  "02" TEXT,
  "03" BLOB
);

CREATE TABLE 系统附表 (
  记录号 INTEGER,
  列宽1 INTEGER, 列宽2 INTEGER, 列宽3 INTEGER, 列宽4 INTEGER, 列宽5 INTEGER, 列宽6 INTEGER, 列宽7 INTEGER,
  备用8 INTEGER, 备用9 INTEGER, 备用10 INTEGER, 备用11 INTEGER, 备用12 INTEGER,
  备用13 INTEGER, 备用14 INTEGER, 备用15 INTEGER, 备用16 INTEGER, 备用17 INTEGER
);
CREATE UNIQUE INDEX lllk ON 系统附表 (记录号 COLLATE BINARY);

CREATE TABLE 中医方剂 (
  方剂名称 TEXT COLLATE zh,
  方剂组成 TEXT COLLATE zh,
  方剂功用 TEXT COLLATE zh,
  方剂主治 TEXT COLLATE zh,
  方剂用法 TEXT COLLATE zh,
  方剂来源 TEXT COLLATE zh,
  方剂备注 TEXT COLLATE zh,
  方剂心得 TEXT COLLATE zh
);

INSERT INTO 系统资料 ("01", "02", "03") VALUES (1, ' ', NULL);
