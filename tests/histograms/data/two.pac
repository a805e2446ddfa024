2
ferrita
/x/perlita.his
