# Writes a dBASE III table with a memo file through Perl XBase: dates of the 19th and early
# 20th century, whole numbers of 15 digits, and memos.
use strict;
use warnings;
use XBase;

my $t = XBase->create(name => $ARGV[0], version => 3,
  field_names => ['NAME', 'BORN', 'BIG', 'NOTES'], field_types => ['C', 'D', 'N', 'M'],
  field_lengths => [10, 8, 15, 10], field_decimals => [0, 0, 0, 0]) or die XBase->errstr;
$t->set_record(0, 'one', '18900501', '123456789012345', 'memo one') or die $t->errstr;
$t->set_record(1, 'two', '19011231', '-98765432109876', "second\r\nmemo") or die $t->errstr;
$t->set_record(2, 'three', '19250228', '999999999999999', 'third') or die $t->errstr;
$t->close;
