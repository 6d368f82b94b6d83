# Writes a reference table with memos through Perl XBase: argv[0] path, argv[1] version 3 or 4.
use strict;
use warnings;
use XBase;

my ($path, $version) = @ARGV;
my $table = XBase->create(name => $path, version => $version,
  field_names => ['NAME', 'NOTES'], field_types => ['C', 'M'],
  field_lengths => [10, 10], field_decimals => [0, 0]) or die XBase->errstr;
$table->set_record(0, 'A', "Line one\r\nLine two") or die $table->errstr;
$table->set_record(1, 'B', 'x' x 1500) or die $table->errstr;
$table->set_record(2, 'C', '') or die $table->errstr;
$table->close;
