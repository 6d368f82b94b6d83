# Writes a reference table with Perl XBase: two records, the second deleted.
use strict;
use XBase;
my $t = XBase->create(
    "name"           => $ARGV[0],
    "field_names"    => [ "NAME", "QTY", "PRICE", "DONE", "BORN" ],
    "field_types"    => [ "C", "N", "N", "L", "D" ],
    "field_lengths"  => [ 12, 5, 8, 1, 8 ],
    "field_decimals" => [ 0, 0, 2, 0, 0 ]
) or die XBase->errstr;
$t->set_record(0, "Perl", 3, 1.25, 1, "20240229") or die $t->errstr;
$t->set_record(1, "two", 4, 2.5, 0, "") or die $t->errstr;
$t->delete_record(1) or die $t->errstr;
$t->close;
