in;sp2;pu0,0;pd1000,0;Sp3;Pd1000,1000;pu;pd;
