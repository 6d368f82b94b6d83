# Reads a table with its memo file through Perl XBase and prints per record the name and the
# memo bytes in hex (tab-separated).
use strict;
use warnings;
use XBase;

my $table = XBase->new($ARGV[0]) or die XBase->errstr;
for my $i (0 .. $table->last_record) {
  my ($deleted, $name, $notes) = $table->get_record($i, 'NAME', 'NOTES');
  die $table->errstr unless defined $deleted;
  next if $deleted;
  $notes = '' unless defined $notes;
  $name =~ s/\s+$//;
  print $name, "\t", unpack('H*', $notes), "\n";
}
