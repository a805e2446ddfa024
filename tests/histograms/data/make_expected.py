#!/usr/bin/env python3
"""Writes the expected histogram and pattern files of the tests, independently of the
program's own number formatting: python's %.14E, re-shaped into the 23-character form."""


def real(v):
    mantissa, exponent = ('%.14E' % abs(v)).split('E')
    e = int(exponent)
    return ('-' if v < 0 else ' ') + mantissa + 'E' + ('+' if e >= 0 else '-') + '%04d' % abs(e)


def write(name, lines):
    with open(name, 'wb') as f:
        f.write(''.join(line + '\r\n' for line in lines).encode())


uniform = [1 / 256] * 256
ramp = [g / 32640 for g in range(256)]        # 0 + 1 + ... + 255 = 32640
falling = [(255 - g) / 32640 for g in range(256)]

write('uniform.his', ['%d%s' % (g, real(uniform[g])) for g in range(256)])
write('ramp.his', ['%d%s' % (g, real(ramp[g])) for g in range(256)])

# A pattern set of two curves, as the control saves it.
write('two.pac', ['2', 'ferrita', '/x/perlita.his'])
write('two.pat', [real(ramp[g]) + ' ' + real(falling[g]) + ' ' for g in range(256)])
write('two.err', ['%d 1' % g for g in range(256)])
# The same two curves as the overlay's values file: no separator but the sign position.
write('two-columns.txt', [real(ramp[g]) + real(falling[g]) for g in range(256)])
